// The about box, which is also the splash shown while the program starts.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora::ui {

class Shell;

// The label that opens the home page: in the link colour and underlined
// under the mouse.
class LinkLabel;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // `linkTarget` is the address the link opens, shown as its hint;
    // `shell` may be null (no link).
    AboutDialog(Shell* shell, QString linkTarget, QWidget* parent = nullptr);

    // Splash use: comment, progress bar, OK hidden; painted at once.
    void showAsSplash();
    // About-box use: no progress bar.
    void hideProgress();
    void setComment(const QString& text);
    // Names the folder that holds the catalogue and the settings.
    void setDataFolder(const QString& folder);
    void stepProgress();
    void repaintNow();

private:
    QLabel* commentLabel_ = nullptr;
    QLabel* dataFolderLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* okButton_ = nullptr;
    LinkLabel* linkLabel_ = nullptr;
};

class LinkLabel : public QWidget {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);
    bool isHot() const { return hot_; }
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    QSize sizeHint() const override;

private:
    QString text_;
    bool hot_ = false;
};

}  // namespace velmora::ui
