#include "autostart_switch_qt.h"

#include <QCheckBox>
#include <QMessageBox>

#include "desktop_install.h"

namespace dravo {

QCheckBox* make_autostart_switch() {
    auto* box = new QCheckBox("Start at login");
    box->setObjectName("autostart");
    box->setChecked(AutostartEntry::for_this_program(process_environment()).enabled());
    QObject::connect(box, &QCheckBox::clicked, box, [box](bool on) {
        // Looked up at each click: the environment and the program's place do not change, but
        // the entry may have been removed by hand meanwhile.
        const AutostartEntry entry = AutostartEntry::for_this_program(process_environment());
        std::string error;
        if (!entry.set(on, error)) {
            box->setChecked(!on);
            QMessageBox::warning(box->window(), "ERROR", QString::fromStdString(error));
        }
    });
    return box;
}

}  // namespace dravo
