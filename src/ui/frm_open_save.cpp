#include "frm_open_save.h"

namespace tenso {

// Not built yet: the dialog closes at once, as if cancelled.
void ShowOpenSaveDialog(QWidget*, SharedState&, Window&, std::string_view, std::string_view) {}

}  // namespace tenso
