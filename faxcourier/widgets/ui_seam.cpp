#include "faxcourier/widgets/ui_seam.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/widgets/app_icon.h"
#include "faxcourier/widgets/quit_request.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include <cstdio>

namespace korva::app {
namespace {

QMessageBox::StandardButton toStandard(Answer answer)
{
    switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
        case Answer::None:
            break;
    }
    return QMessageBox::NoButton;
}

Answer fromStandard(int button)
{
    switch (button) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::None;
    }
}

QMessageBox::StandardButtons standardButtons(Buttons buttons)
{
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon standardIcon(BoxIcon icon)
{
    switch (icon) {
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Warning:
            return QMessageBox::Warning;
        case BoxIcon::Question:
            return QMessageBox::Question;
        case BoxIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

bool headless = false;

// The answer a person would get by pressing Enter at once.
Answer defaultAnswerOf(const BoxRequest& request)
{
    if (request.defaultAnswer != Answer::None)
        return request.defaultAnswer;
    return request.buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
}

// Nobody could answer a box: its text goes where someone will read it.
Answer reportWithoutDisplay(const BoxRequest& request)
{
    const QByteArray caption = request.caption.toUtf8();
    const QByteArray text = request.text.toUtf8();
    LogAlways(0, "%s: %s\n", caption.constData(), text.constData());
    std::fprintf(stderr, "%s: %s\n", caption.constData(), text.constData());
    return defaultAnswerOf(request);
}

class RealUi : public UiSeam {
public:
    Answer messageBox(const BoxRequest& request) override
    {
        // While the program ends, a box would hold up the shutdown.
        if (headless || quitRequested())
            return reportWithoutDisplay(request);
        // A box that nobody sees (no desktop) still leaves a trace.
        LogDebug("Message box %s: %s\n", request.caption.toLocal8Bit().constData(),
                 request.text.toLocal8Bit().constData());
        QMessageBox box(standardIcon(request.icon), request.caption, request.text, standardButtons(request.buttons),
                        request.owner);
        box.setWindowIcon(smallIcon());
        if (request.defaultAnswer != Answer::None)
            box.setDefaultButton(toStandard(request.defaultAnswer));
        return fromStandard(box.exec());
    }

    void beep() override { QApplication::beep(); }
    void pushWaitCursor() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void popWaitCursor() override { QApplication::restoreOverrideCursor(); }
    Qt::KeyboardModifiers keyboardModifiers() override { return QGuiApplication::queryKeyboardModifiers(); }

    void launch(const QString& program, const QStringList& arguments, const QString& file) override
    {
        if (program.isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(file));
        else
            QProcess::startDetached(program, arguments, QStringLiteral("."));
    }
};

RealUi realUi;
UiSeam* current = &realUi;

}  // namespace

UiSeam& ui() { return *current; }

void setHeadless(bool withoutDisplay) { headless = withoutDisplay; }
bool isHeadless() { return headless; }

UiSeam* setUiSeam(UiSeam* seam)
{
    UiSeam* previous = current;
    current = seam ? seam : &realUi;
    return previous == &realUi ? nullptr : previous;
}

Answer showBox(QWidget* owner, const QString& caption, const QString& text, Buttons buttons, BoxIcon icon,
               Answer defaultAnswer)
{
    return ui().messageBox(BoxRequest{owner, caption, text, buttons, icon, defaultAnswer});
}

}  // namespace korva::app
