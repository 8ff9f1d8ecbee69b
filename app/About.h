#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// The about box: product title, version, rights line, home page.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* Button1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Creates the about box, shows it modally and frees it.
void ShowAbout(QWidget* parent);

// The picture of the about box and the window icon, drawn in code.
QPixmap ProductPicture(int size);

inline const QString kRightsPrefix = QStringLiteral("版权所有：");
