#include "faxcourier/app/busy_until_shown.h"

#include "faxcourier/widgets/ui_seam.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace korva::app {
namespace {

const QString kName = QStringLiteral("busyCursor");

// Owned by the window: its end restores the cursor on every path.
class BusyCursor : public QObject {
public:
    BusyCursor(QWidget* window, std::chrono::milliseconds limit) : QObject(window)
    {
        setObjectName(kName);
        ui().pushWaitCursor();
        window->installEventFilter(this);
        QTimer::singleShot(limit, this, [this] { deleteLater(); });
    }
    ~BusyCursor() override { ui().popWaitCursor(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowDeactivate)
            deleteLater();
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void busyUntilShown(QWidget* window, std::chrono::milliseconds limit)
{
    // A second launch before the first showed keeps the one cursor.
    if (!window->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly))
        new BusyCursor(window, limit);
}

}  // namespace korva::app
