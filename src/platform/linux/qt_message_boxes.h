#pragma once

#include "platform/message_boxes.h"

#include <QIcon>

namespace gridvane {

// Modal boxes without a parent window, so they also appear while the main window is
// hidden. Each box is named "gridvaneMessageBox".
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QIcon windowIcon = {});

    qint16 show(const BoxRequest& request) override;

private:
    QIcon m_windowIcon;
};

} // namespace gridvane
