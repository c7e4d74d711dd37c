#pragma once

#include <functional>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>

// Answers every modal window that opens while it lives, and keeps the message boxes' texts.
class ModalAnswers
{
public:
    explicit ModalAnswers(QMessageBox::StandardButton button,
                          std::function<void(QWidget*)> other = {})
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, button, other] {
            QWidget* modal = QApplication::activeModalWidget();
            // A progress dialog asks nothing: it goes when its work is done.
            if (!modal || modal == m_pLast || qobject_cast<QProgressDialog*>(modal))
                return;
            m_pLast = modal;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts << box->text();
                bDefaultNo = box->defaultButton() == box->button(QMessageBox::No);
                QTest::mouseClick(box->button(button), Qt::LeftButton);
            } else if (other) {
                other(modal);
            }
        });
        m_timer.start(10);
    }

    QStringList texts;
    bool bDefaultNo = false;

private:
    QTimer m_timer;
    QPointer<QWidget> m_pLast;
};
