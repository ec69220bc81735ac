#pragma once

#include <QString>

namespace gridvane {

enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { None, Critical };

struct BoxRequest
{
    QString title;
    QString text; // lines separated by CR LF
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
    // Keep the box above other windows, ask the desktop for attention and put it in the
    // desktop's notification list too: the main window may be hidden when it opens.
    bool urgent = false;
};

// Answers a box can give, as numbers the handlers compare.
constexpr qint16 answerYes = 6;
constexpr qint16 answerNo = 7;

// Modal message boxes. show() returns when the user has answered: answerYes for Yes, answerNo
// for any other answer.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual qint16 show(const BoxRequest& request) = 0;
};

} // namespace gridvane
