#pragma once

#include <QString>

// The failure record every fallible operation takes by reference. The first
// failure sets both fields; later operations see `status` and do no work, so the
// first message is the one the user is shown.
class Errortype
{
public:
    bool status = false;
    QString message;

    // Records a failure unless one is already recorded.
    void fail(const QString &text)
    {
        if (status)
            return;
        status = true;
        message = text;
    }
};
