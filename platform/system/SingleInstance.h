#pragma once
// One running program per program folder: a lock file in the folder, held for the whole run.
// A second start asks the running program to come to the front through a request file that
// the running program watches, answers by removing it, and then ends.
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QFileSystemWatcher;

class TSingleInstance : public QObject {
public:
    explicit TSingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this process now holds the folder's lock. The lock of a process that no
    // longer runs is taken over.
    bool Acquire();
    // From a second start: asks the running program to show its window. True when it
    // answered within timeoutMs (events are processed meanwhile).
    bool AskRunningToShow(int timeoutMs = 2000);
    // In the running program (after Acquire): show is called for every request.
    void OnShowRequest(std::function<void()> show);

private:
    void CheckRequest();

    QString m_folder;
    QLockFile m_lock;
    QFileSystemWatcher* m_watcher = nullptr;
    std::function<void()> m_show;
};
