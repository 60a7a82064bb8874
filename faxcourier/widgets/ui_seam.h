#pragma once
// Every message box, beep, wait cursor, keyboard-state query and document
// launch of the program goes through this seam, so that tests answer the
// boxes from a script, count the beeps and see what would have been opened.

#include <QString>
#include <QStringList>
#include <Qt>

class QWidget;

namespace korva::app {

// Button results keep the numbers of the Windows box results.
enum class Answer { None = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class BoxIcon { None, Information, Warning, Question };

struct BoxRequest {
    QWidget* owner = nullptr;
    QString caption;
    QString text;
    Buttons buttons = Buttons::Ok;
    BoxIcon icon = BoxIcon::None;
    Answer defaultAnswer = Answer::None;  // None: the first button
};

class UiSeam {
public:
    virtual ~UiSeam() = default;
    virtual Answer messageBox(const BoxRequest& request) = 0;
    virtual void beep() = 0;
    virtual void pushWaitCursor() = 0;
    virtual void popWaitCursor() = 0;
    virtual Qt::KeyboardModifiers keyboardModifiers() = 0;
    // Starts `program` with `arguments`, or the desktop's handler for the
    // file when `program` is empty. The outcome is not reported.
    virtual void launch(const QString& program, const QStringList& arguments, const QString& file) = 0;
};

// The seam in use: the real one unless a test installed its own.
UiSeam& ui();

// Without a display no box may wait for an answer: the real seam then logs
// each box always, writes it to standard error and takes its default answer.
void setHeadless(bool withoutDisplay);
bool isHeadless();
// Installs `seam` (null restores the real one); returns the previous one.
UiSeam* setUiSeam(UiSeam* seam);

// Shortcuts for the common box forms.
Answer showBox(QWidget* owner, const QString& caption, const QString& text, Buttons buttons = Buttons::Ok,
               BoxIcon icon = BoxIcon::None, Answer defaultAnswer = Answer::None);

// The wait cursor for one scope.
class WaitCursor {
public:
    WaitCursor() { ui().pushWaitCursor(); }
    ~WaitCursor() { ui().popWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace korva::app
