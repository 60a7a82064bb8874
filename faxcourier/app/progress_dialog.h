#pragma once
// The progress dialog (template 105): created hidden while a document is
// converted; the conversion thread's posted messages show it, move its bar
// and count the pages. Its Cancel button asks the conversion to stop.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace korva::app {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* owner);

    QProgressBar* bar() const { return bar_; }

signals:
    // Cancel was pressed: the conversion is to stop before its next page.
    void cancelRequested();

protected:
    bool event(QEvent* event) override;
    void reject() override {}  // Esc and the close box do not stop a conversion

private:
    void showPage(int stored);

    QProgressBar* bar_;
    QLabel* pages_;
    QPushButton* cancel_;
};

}  // namespace korva::app
