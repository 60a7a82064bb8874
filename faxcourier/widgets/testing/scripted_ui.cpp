#include "faxcourier/widgets/testing/scripted_ui.h"

#include "faxcourier/widgets/ui_language.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <memory>

namespace korva::app::testing {
namespace {

int timeouts = 0;

}  // namespace

int modalTimeouts() { return timeouts; }

QApplication& testApplication()
{
    static int argc = 1;
    static char name[] = "faxcourier-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto* created = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        installTranslations();  // the language the test's environment asks for
        return created;
    }();
    return *app;
}

ScriptedUi::ScriptedUi() : previous_(setUiSeam(this)) {}
ScriptedUi::~ScriptedUi() { setUiSeam(previous_); }

Answer ScriptedUi::messageBox(const BoxRequest& request)
{
    boxes.push_back(request);
    if (onBox)
        onBox(request);
    if (!answers_.empty()) {
        Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    if (request.defaultAnswer != Answer::None)
        return request.defaultAnswer;
    return request.buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
}

void ScriptedUi::pushWaitCursor()
{
    ++waitCursorDepth;
    ++waitCursorUses;
}

void ScriptedUi::launch(const QString& program, const QStringList& arguments, const QString& file)
{
    launches.push_back(Launch{program, arguments, file});
}

namespace {

// Polls `find` from the event loop until it gives a window, then runs
// `action` on it; after `timeout` ends whatever dialog is modal instead.
void whenFound(std::function<QWidget*()> find, std::function<void(QWidget*)> action, std::chrono::milliseconds timeout)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, started, find, action, timeout] {
        QWidget* found = find();
        if (!found && started->elapsed() < timeout.count())
            return;
        timer->stop();
        timer->deleteLater();
        if (found) {
            action(found);
            return;
        }
        // Nothing came: end whatever is modal so that the test goes on and fails.
        ++timeouts;
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(0);
    });
    timer->start(5);
}

}  // namespace

void whenModal(const char* objectName, std::function<void(QWidget*)> action, std::chrono::milliseconds timeout)
{
    QString name = QString::fromLatin1(objectName);
    whenFound(
        [name]() -> QWidget* {
            QWidget* modal = QApplication::activeModalWidget();
            return modal && modal->objectName() == name ? modal : nullptr;
        },
        std::move(action), timeout);
}

void whenShown(const char* objectName, std::function<void(QWidget*)> action, std::chrono::milliseconds timeout)
{
    QString name = QString::fromLatin1(objectName);
    whenFound(
        [name]() -> QWidget* {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible() && window->objectName() == name)
                    return window;
            return nullptr;
        },
        std::move(action), timeout);
}

bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : QApplication::activeWindow(), key, modifiers);
}

bool tabTo(QWidget* target)
{
    for (int presses = 0; presses < 100 && QApplication::focusWidget() != target; ++presses)
        pressKey(Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

bool processEventsUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeout.count())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

}  // namespace korva::app::testing
