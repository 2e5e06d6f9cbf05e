#include "app_icon.h"

#include <QString>

// The resources live in a static library, whose unreferenced initialiser the linker would drop;
// Q_INIT_RESOURCE references it, and it must be called outside any namespace.
static void InitTensoUiResources() { Q_INIT_RESOURCE(tenso_ui); }

namespace tenso {

QIcon AppIcon()
{
    static const bool initialised = (InitTensoUiResources(), true);
    (void)initialised;
    return QIcon(QStringLiteral(":/tenso/tenso.svg"));
}

}  // namespace tenso
