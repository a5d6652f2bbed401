// Work away from the UI thread: a job runs on Qt's global thread pool and its end is queued to
// the application object, so `done` runs on the UI thread from the event loop like a message.
#include <QCoreApplication>
#include <QMetaObject>
#include <QThreadPool>

#include "platform/platform.h"

namespace platform {

void RunInBackground(BackgroundRoutine work, BackgroundRoutine done, void* context) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {   // no event loop to come back to: do it here
        work(context);
        done(context);
        return;
    }
    QThreadPool::globalInstance()->start([work, done, context, app] {
        work(context);
        QMetaObject::invokeMethod(app, [done, context] { done(context); }, Qt::QueuedConnection);
    });
}

}  // namespace platform
