#pragma once

#include <QStringList>
#include <QtGlobal>

// Takes the warnings Qt reports, in place of printing them, for as long as it lives.
class WarningLog {
public:
    WarningLog() : previous_(qInstallMessageHandler(&WarningLog::record)) { current_ = this; }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;

    QStringList warnings;

private:
    static void record(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtWarningMsg) {
            current_->warnings << message;
        } else {
            current_->previous_(type, context, message);
        }
    }

    inline static WarningLog* current_ = nullptr;
    QtMessageHandler previous_;
};
