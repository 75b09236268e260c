// The small integer state flags the pages keep on their buttons (Connect 1 or 0, Status 0 to
// 2, Reset Count 1 when the link window must restart the BER count at its first poll).
#pragma once

#include <QObject>
#include <QVariant>

namespace tavrin::app {

inline int StateFlag(const QObject* control) {
    return control->property("tag").toInt();
}

inline void SetStateFlag(QObject* control, int flag) {
    control->setProperty("tag", flag);
}

}  // namespace tavrin::app
