#pragma once
// Test helpers for the Qt side: one offscreen QApplication per test
// program, and a UI seam that answers message boxes from a script, counts
// beeps and records what would have been launched.

#include "faxcourier/widgets/ui_seam.h"

#include <QApplication>

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

namespace korva::app::testing {

// The test program's application object, on the offscreen platform.
QApplication& testApplication();

struct Launch {
    QString program;
    QStringList arguments;
    QString file;
};

class ScriptedUi : public UiSeam {
public:
    ScriptedUi();  // installs itself
    ~ScriptedUi() override;

    // The next boxes' answers, in order; a box without a scripted answer
    // gets its default button (OK for an OK box).
    void answer(Answer a) { answers_.push_back(a); }
    // Runs while each box is "shown", before it is answered.
    std::function<void(const BoxRequest&)> onBox;

    Qt::KeyboardModifiers heldKeys = Qt::NoModifier;

    std::vector<BoxRequest> boxes;
    int beeps = 0;
    int waitCursorDepth = 0;
    int waitCursorUses = 0;
    std::vector<Launch> launches;

    Answer messageBox(const BoxRequest& request) override;
    void beep() override { ++beeps; }
    void pushWaitCursor() override;
    void popWaitCursor() override { --waitCursorDepth; }
    Qt::KeyboardModifiers keyboardModifiers() override { return heldKeys; }
    void launch(const QString& program, const QStringList& arguments, const QString& file) override;

private:
    std::deque<Answer> answers_;
    UiSeam* previous_;
};

// Runs `action` with the modal dialog named `objectName` once it is the
// active modal widget (polled from the event loop). After `timeout` it ends
// whatever dialog is modal instead and counts a time-out.
void whenModal(const char* objectName, std::function<void(QWidget*)> action,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// The same for a window that is shown without being modal.
void whenShown(const char* objectName, std::function<void(QWidget*)> action,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

int modalTimeouts();

// Shows `window` and waits until it is active, so that keys reach its focus.
bool showActive(QWidget* window);

// Presses `key` where the keyboard would send it: the focus widget.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Presses Tab until `target` has the focus; false when it never gets it.
bool tabTo(QWidget* target);

// Processes events until `condition` holds or `timeout` passes.
bool processEventsUntil(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

}  // namespace korva::app::testing
