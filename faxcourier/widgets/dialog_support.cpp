#include "faxcourier/widgets/dialog_support.h"

#include "faxcourier/widgets/app_icon.h"
#include "faxcourier/widgets/text_convert.h"
#include "faxcourier/widgets/ui_seam.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusFrame>
#include <QLabel>
#include <QPointer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

namespace korva::app {

QPushButton* pushButton(QWidget* parent, const QString& text, int id)
{
    auto* button = withId(new QPushButton(text, parent), id);
    button->setAutoDefault(true);
    return button;
}

QPushButton* pushButton(QWidget* parent, const char* latin1Text, int id)
{
    return pushButton(parent, QString::fromLatin1(latin1Text), id);
}

QLabel* labelFor(QWidget* parent, const QString& text, QWidget* buddy, int id)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(labelName(id));
    label->setBuddy(buddy);
    return label;
}

int dluX(const QWidget* widget, int units) { return units * widget->fontMetrics().averageCharWidth() / 4; }
int dluY(const QWidget* widget, int units) { return units * widget->fontMetrics().height() / 8; }

void splitColumnsInThirds(QTreeView* list)
{
    int w = list->viewport()->width() - list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    // A shown scroll bar has already narrowed the viewport.
    if (list->verticalScrollBar()->isVisible())
        w += list->verticalScrollBar()->width();
    list->setColumnWidth(0, w / 3);
    list->setColumnWidth(1, w / 3);
    list->setColumnWidth(2, w - 2 * (w / 3));
}

void setFieldReadOnly(QWidget* field, bool readOnly)
{
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->setReadOnly(readOnly);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(field))
        text->setReadOnly(readOnly);
    if (!readOnly) {
        field->setPalette(QPalette());  // back to the inherited look
        return;
    }
    QPalette palette = field->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Window));
    field->setPalette(palette);
}

namespace {

class FocusRing : public QObject {
public:
    explicit FocusRing(QWidget* widget) : QObject(widget), widget_(widget) { widget->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            if (!frame_)
                frame_ = new QFocusFrame(widget_->parentWidget());
            frame_->setWidget(widget_);
            frame_->show();
        } else if (event->type() == QEvent::FocusOut && frame_) {
            frame_->setWidget(nullptr);
            frame_->hide();
        }
        return false;
    }

private:
    QWidget* widget_;
    QPointer<QFocusFrame> frame_;
};

}  // namespace

void showFocusRing(QWidget* widget) { new FocusRing(widget); }

void setSmallIcon(QWidget* dialog) { dialog->setWindowIcon(smallIcon()); }

void bringToForeground(QWidget* window)
{
    window->raise();
    window->activateWindow();
}

QString fieldName(const QString& label)
{
    QString name = QString(label).remove(QLatin1Char('&')).trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

QString fieldName(const char* label) { return fieldName(QString::fromUtf8(label)); }

QString standardCancelText()
{
    // Not a literal, so that lupdate leaves the text to Qt's catalogue.
    static const char* const qtButtons = "QPlatformTheme";
    return QCoreApplication::translate(qtButtons, "Cancel");
}

QString firstUnfitCharacter(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString character = text.mid(i, length);
        if (!fitsAnsi(character))
            return character;
        i += length - 1;
    }
    return {};
}

bool refuseUnfitText(QWidget* dialog, QWidget* field, const QString& name, const QString& text)
{
    if (fitsAnsi(text))
        return false;
    showBox(dialog, QStringLiteral("KORVA Fax"),
            QCoreApplication::translate("DialogSupport",
                                        "The %1 field holds a character that KORVA Fax cannot send or store.")
                .arg(name),
            Buttons::Ok, BoxIcon::Warning);
    field->setFocus();
    return true;
}

}  // namespace korva::app
