#include "ui/handler_gate.h"

#include <QStringList>
#include <QTest>

#include <stdexcept>

namespace tenso {

class HandlerGateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A click that arrives inside a running handler (through DoEvents) waits for it to finish.
    void aClickInsideAHandlerRunsAfterIt()
    {
        HandlerGate gate;
        QStringList log;
        gate.Run([&] {
            log << "draw starts";
            gate.Run([&] { log << "second draw"; });
            gate.Run([&] { log << "tangent"; });
            QVERIFY(gate.Busy());
            log << "draw ends";
        });
        QCOMPARE(log, (QStringList {"draw starts", "draw ends", "second draw", "tangent"}));
        QVERIFY(!gate.Busy());
    }

    void aQueuedHandlerMayQueueAnother()
    {
        HandlerGate gate;
        QStringList log;
        gate.Run([&] {
            gate.Run([&] {
                gate.Run([&] { log << "third"; });
                log << "second";
            });
            log << "first";
        });
        QCOMPARE(log, (QStringList {"first", "second", "third"}));
    }

    // Exit inside a handler: the handler finishes, nothing queued or later runs.
    void closeDropsTheQueueAndLaterClicks()
    {
        HandlerGate gate;
        QStringList log;
        gate.Run([&] {
            gate.Run([&] { log << "queued before exit"; });
            gate.Close();
            gate.Run([&] { log << "queued after exit"; });
            log << "interrupted handler ends";
        });
        gate.Run([&] { log << "later click"; });
        QCOMPARE(log, (QStringList {"interrupted handler ends"}));
        QVERIFY(gate.Closed());
    }

    void aThrowingHandlerLeavesTheGateUsable()
    {
        HandlerGate gate;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, gate.Run([] { throw std::runtime_error("boom"); }));
        QVERIFY(!gate.Busy());
        bool ran = false;
        gate.Run([&] { ran = true; });
        QVERIFY(ran);
    }
};

}  // namespace tenso

QTEST_APPLESS_MAIN(tenso::HandlerGateTest)
#include "handler_gate_test.moc"
