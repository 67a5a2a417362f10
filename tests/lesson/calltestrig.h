#pragma once

#include "relayhubthread.h"
#include "testlessonhost.h"

#include "lesson/call/lessoncall.h"
#include "lesson/relay/lessonchannel.h"

#include <QTest>
#include <memory>

// A teacher's and a student's lesson channel on the reference relay (on a thread of this
// test), each with a call on the media engine it is given.
template <typename Media> struct CallTestRig {
    static constexpr int Wait = 15000;

    RelayHubThread relay;
    TestLessonHost teacherHost, studentHost;
    LessonChannel teacher{teacherHost}, student{studentHost};
    Media teacherMedia, studentMedia;
    LessonCall teacherCall{teacher, teacherMedia}, studentCall{student, studentMedia};

    // The relay started, both signed on and partners.
    bool connect() {
        if (!relay.start())
            return false;
        const QString host = QStringLiteral("127.0.0.1:%1").arg(relay.port());
        teacherHost.who = {3, 7, 12, host};
        studentHost.who = {4, 7, 40, host};
        studentHost.teachers = {{QStringLiteral("12"), QStringLiteral("Jana Učitelová")}};
        for (LessonChannel *channel : {&teacher, &student})
            channel->setReconnectPauses({100, 200, 400, 800, 1600, 3200});
        teacher.ConnectToggle();
        student.ConnectToggle();
        return teacher.isConnected() && student.isConnected() && bothIn(LessonCall::State::Idle);
    }
    bool bothIn(LessonCall::State state) {
        return QTest::qWaitFor(
            [&] { return teacherCall.state() == state && studentCall.state() == state; }, Wait);
    }
    // The teacher calls, the student accepts; true once both are connected.
    bool callAndAccept(bool camera = false) {
        if (!teacherCall.Call(camera) ||
            !QTest::qWaitFor([&] { return studentCall.state() == LessonCall::State::Incoming; },
                             Wait))
            return false;
        studentCall.Accept();
        return bothIn(LessonCall::State::Connected);
    }
};
