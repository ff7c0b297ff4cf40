#include "forms/UpdateSeams.h"

namespace quorvex {

TModalResult ShowUpdateMessage(IMessageBoxes& messages, const std::string& text, TMsgDlgType type,
                               TMsgDlgButtons buttons)
{
    std::string caption;
    switch (type) {
    case TMsgDlgType::Information: caption = "Information"; break;
    case TMsgDlgType::Confirmation: caption = "Confirm"; break;
    case TMsgDlgType::Warning: caption = "Warning"; break;
    case TMsgDlgType::Error: caption = "Error"; break;
    case TMsgDlgType::Plain: break;
    }
    return messages.Show(caption, text, type, buttons);
}

}  // namespace quorvex
