#pragma once
// The progress dialog (template 105): created hidden while a document is
// converted; the conversion thread's posted messages show it and move its bar.

#include <QDialog>

class QProgressBar;

namespace korva::app {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* owner);

    QProgressBar* bar() const { return bar_; }

protected:
    bool event(QEvent* event) override;
    void reject() override {}  // Esc and the close box do not stop a conversion

private:
    QProgressBar* bar_;
};

}  // namespace korva::app
