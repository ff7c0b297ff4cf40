// The HTML view of the help window and of the editor's preview: it shows a
// document from a file, from text or from a stream. Ctrl+N, which opens a new
// browser window in a web browser, does nothing here.
#pragma once

#include <QTextBrowser>

#include <string>

namespace quorvex {

class TStream;

class THtmlView : public QTextBrowser {
    Q_OBJECT
public:
    explicit THtmlView(QWidget* parent = nullptr);

    // Shows the document stored in a file named by a Windows path; a file
    // that cannot be read shows a page naming it and the reason instead.
    void Navigate(const std::string& path);
    void LoadFromText(const QString& html);
    // Reads the whole stream from its start and shows it.
    void LoadFromStream(TStream& stream);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quorvex
