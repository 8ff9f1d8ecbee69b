#pragma once
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

// Types text into a widget as the keyboard (or an input method) would, one character a
// key press; unlike QTest::keyClicks it takes Chinese characters.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}
