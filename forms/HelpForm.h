// The help window: the help document (stored item 6) is loaded when the
// window is first shown, so start-up does not pay for laying it out.
#pragma once

namespace quorvex {

class TmxStorage;
class TStream;

// The stored item that holds the help document.
inline constexpr int kHelpItem = 6;

class IHelpView {
public:
    virtual ~IHelpView() = default;
    // Shows the window without blocking and brings it forward; it answers
    // with WindowShowing before it appears.
    virtual void ShowInFront() = 0;
    // Reads the whole stream from its start and shows it.
    virtual void ShowDocument(TStream& document) = 0;
};

class THelpForm {
public:
    // storage is the main window's archive, from which the document is read.
    THelpForm(IHelpView& view, TmxStorage& storage) : view_(view), storage_(storage) {}

    void ShowWindow() { view_.ShowInFront(); }
    // The document is loaded the first time only: a reopened window shows it
    // where it was left.
    void WindowShowing();

private:
    IHelpView& view_;
    TmxStorage& storage_;
    bool loaded_ = false;
};

}  // namespace quorvex
