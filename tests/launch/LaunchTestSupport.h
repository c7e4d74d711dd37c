#pragma once

#include "launch/CExecuteDlg.h"
#include "platform/CProfile.h"
#include "platform/ProfileEntries.h"
#include "support/TestTree.h"

#include <functional>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// A Tribes folder holding the Korvane folder, both set in a scratch profile.
struct LaunchFolders
{
    LaunchFolders()
    {
        tree.MakeFolder("tribes/korvane");
        profile.WriteProfileString(profile::kDirectories, profile::kTribes, tree.Path("tribes/"));
        profile.WriteProfileString(profile::kDirectories, profile::kKorvane,
                                   tree.Path("tribes/korvane/"));
    }
    QString Folder(std::string_view rel) const { return Q(tree.Path(rel)); }

    TestTree tree;
    CProfile profile = CProfile::AtFile(Q(tree.Path("profile.ini")));
};

inline QPushButton* Button(const QWidget* dlg, const QString& caption)
{
    for (auto* button : dlg->findChildren<QPushButton*>()) {
        if (button->text() == caption)
            return button;
    }
    qFatal("no button %s", qPrintable(caption));
}

inline QStringList Listed(const CExecuteDlg* dlg)
{
    QStringList names;
    const auto* list = dlg->findChild<QListWidget*>();
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

// Answers the next modal window of type T once it is shown, as the user would. A window left
// open by a failed check, or another window waiting instead, is closed, so that a fault fails
// the test rather than hanging it.
template <class T> void AnswerModal(std::function<void(T*)> answer)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout,
                     [timer, answer = std::move(answer), ticks = 0]() mutable {
                         const QPointer<QWidget> active = QApplication::activeModalWidget();
                         auto* modal = qobject_cast<T*>(active.data());
                         const bool found = modal && modal->isVisible();
                         if (!found && ++ticks < 1000)
                             return;
                         timer->stop();
                         timer->deleteLater();
                         if (found)
                             answer(modal);
                         if (active && active->isVisible())
                             active->close();
                     });
    timer->start();
}

// Clicks OK on the next message box and keeps its text in *text.
inline void AnswerMessage(QString* text)
{
    AnswerModal<QMessageBox>([text](QMessageBox* box) {
        *text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}
