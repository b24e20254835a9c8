#pragma once
// The program's icon, drawn in code so that the tree holds no picture files: a green disc with a
// dark green rim and a white play sign, the same as the installed dravo.svg.
// GUI thread, after the QApplication. Never fails.
#include <QIcon>

namespace dravo {

QIcon program_icon();

}  // namespace dravo
