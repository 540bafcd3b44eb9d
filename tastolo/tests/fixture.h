#pragma once

#include "ExerciseWindow.h"
#include "FileDialog.h"
#include "fakeplatform.h"
#include "testing.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The exercise window over a scripted desktop whose folders are an empty temporary folder. Each file dialogue
// to come runs the steps given to expectDialogue(); one still open after them is cancelled and counted.
struct WindowFixture
{
    using Step = std::function<void(FileDialog &)>;

    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<ExerciseWindow> window;
    QList<QList<Step>> dialogues;
    int dialoguesLeftOpen = 0;

    WindowFixture()
    {
        // The same rendering on every machine: Debian's Liberation fonts; as the application's, one unlike
        // those the windows name themselves, so that a lost one shows.
        QApplication::setFont(QFont("Liberation Mono", 11));
        QApplication::setCursorFlashTime(0); // the insertion point drawn steadily, not blinking
        platform.folder = platform.home = dir.path();
        window = std::make_unique<ExerciseWindow>(platform);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    template<class T> T *find(const QString &name) { return control<T>(window.get(), name); }

    void expectDialogue(const QList<Step> &steps)
    {
        dialogues.append(steps);
        QTimer::singleShot(0, window.get(), [this] {
            auto *dialogue = qobject_cast<FileDialog *>(QApplication::activeModalWidget());
            for (const Step &step : dialogues.takeFirst())
                if (dialogue && dialogue->isVisible())
                    step(*dialogue);
            if (dialogue && dialogue->isVisible()) {
                ++dialoguesLeftOpen;
                dialogue->reject();
            }
        });
    }
    static Step press(const QString &button)
    {
        return [button](FileDialog &d) { QTest::mouseClick(control(&d, button), Qt::LeftButton); };
    }
};
