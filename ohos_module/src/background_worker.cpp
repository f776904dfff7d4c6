// The single background worker: runs submitted tasks one at a time, in
// submission order.
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <queue>
#include <system_error>
#include <thread>

#include "canvasport/canvasport.h"
#include "log.h"

namespace canvasport {

// Built at load time, destroyed at exit or unload.
std::thread workerThread;
std::mutex workerMutex;
std::condition_variable workerCondition;
std::queue<std::function<void()>> tasks;
bool workerThreadRunning = true;

namespace {

bool workerStarted = false;  // guarded by workerMutex

void RunTask(const std::function<void()>& task)
{
    if (!task) {
        return;
    }
    try {
        task();
    } catch (const std::exception& error) {
        LogPrint(LOG_ERROR, "canvasport_gcd_async: task threw: %s", error.what());
    } catch (...) {
        LogPrint(LOG_ERROR, "canvasport_gcd_async: task threw an unknown exception");
    }
}

void WorkerLoop()
{
    while (true) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(workerMutex);
            workerCondition.wait(lock, [] { return !tasks.empty() || !workerThreadRunning; });
            if (tasks.empty()) {
                return;  // stopped and drained
            }
            task = std::move(tasks.front());
            tasks.pop();
        }
        RunTask(task);
    }
}

// A joinable std::thread must not be destroyed: at exit or unload the
// worker drains its queue and is joined.
void StopWorker()
{
    {
        std::lock_guard<std::mutex> lock(workerMutex);
        workerThreadRunning = false;
    }
    workerCondition.notify_all();
    if (workerThread.joinable()) {
        if (workerThread.get_id() == std::this_thread::get_id()) {
            workerThread.detach();  // exit called from a task
        } else {
            workerThread.join();
        }
    }
}

// Declared after the worker objects, so it is destroyed before them.
struct WorkerStopper {
    WorkerStopper() = default;
    WorkerStopper(const WorkerStopper&) = delete;
    WorkerStopper& operator=(const WorkerStopper&) = delete;
    ~WorkerStopper() { StopWorker(); }
} g_workerStopper;

}  // namespace
}  // namespace canvasport

extern "C" void canvasport_gcd_async(std::function<void()> task)
{
    using namespace canvasport;
    std::lock_guard<std::mutex> lock(workerMutex);
    if (!workerThreadRunning) {
        LogPrint(LOG_ERROR, "canvasport_gcd_async: worker stopped, task dropped");
        return;
    }
    if (!workerStarted) {
        try {
            workerThread = std::thread(WorkerLoop);
        } catch (const std::system_error& error) {
            LogPrint(LOG_ERROR, "canvasport_gcd_async: cannot start worker: %s", error.what());
            return;
        }
        workerStarted = true;
    }
    tasks.push(std::move(task));
    workerCondition.notify_one();
}
