#pragma once

#include <QByteArray>

namespace tenso {

// The results go to standard output, and a result that did not arrive must not look like a clean
// run: a failed write or final flush (a full disk, a closed descriptor, an I/O error) ends the
// program at once with one line on standard error and status 1. A closed pipe ends it by SIGPIPE,
// as for any filter, unless SIGPIPE is ignored; then it is such a failure too.
void WriteOut(const QByteArray& bytes);
// Call first thing: a closed standard output fails at once (the next file opened would take its
// number and receive the results), and a closed standard input or error gets /dev/null instead.
void CheckStandardStreams();
// Flushes and closes standard output; call once, after the last write.
void FinishOut();

}  // namespace tenso
