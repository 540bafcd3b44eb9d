#pragma once

#include "Form1.h"
#include "Form3.h"
#include "fakeplatform.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The control named `name` under `root`. A missing one fails the test with
// its name and gives a stand-in, so that the test goes on without crashing.
template<class T> T *control(QObject *root, const QString &name)
{
    if (T *found = root->findChild<T *>(name))
        return found;
    QTest::qFail(qPrintable(QStringLiteral("no control named %1").arg(name)), __FILE__, __LINE__);
    T *standIn = new T(qobject_cast<QWidget *>(root));
    standIn->setObjectName(name);
    return standIn;
}

// The exercise window over a scripted desktop whose current folder is an
// empty temporary folder. The next file dialogues run the steps given to
// expectDialogue(); one left open after its steps is cancelled and counted.
struct WindowFixture
{
    using Step = std::function<void(Form3 &)>;

    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<Form1> window;
    QList<QList<Step>> dialogues;
    int dialoguesLeftOpen = 0;

    WindowFixture()
    {
        // The same rendering on every machine: Debian's Liberation fonts.
        QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
        platform.folder = platform.home = dir.path();
        window = std::make_unique<Form1>(platform);
    }
    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }
    template<class T> T *find(const QString &name) { return control<T>(window.get(), name); }

    void expectDialogue(QList<Step> steps)
    {
        dialogues.append(steps);
        if (dialogues.size() == 1)
            QTimer::singleShot(0, window.get(), [this] { runDialogue(); });
    }
    void runDialogue()
    {
        auto *dialogue = qobject_cast<Form3 *>(QApplication::activeModalWidget());
        if (!dialogue || dialogues.isEmpty())
            return;
        for (const Step &step : dialogues.takeFirst())
            if (dialogue->isVisible())
                step(*dialogue);
        if (dialogue->isVisible()) {
            ++dialoguesLeftOpen;
            dialogue->reject();
        }
        if (!dialogues.isEmpty())
            QTimer::singleShot(0, window.get(), [this] { runDialogue(); });
    }
    static Step typeName(const QString &name)
    {
        return [name](Form3 &d) { control<QLineEdit>(&d, QStringLiteral("Text1"))->setText(name); };
    }
    static Step press(const QString &button)
    {
        return [button](Form3 &d) { QTest::mouseClick(control<QPushButton>(&d, button), Qt::LeftButton); };
    }
};
