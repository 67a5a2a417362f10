#pragma once

#include "lesson/call/callmedia.h"

#include <QTimer>

// A media engine stand-in: the offerer hands out a large offer and a candidate at start, the
// answerer answers an offer, and both report the connection once the descriptions are
// exchanged. It records what the call asked of it.
class FakeCallMedia : public CallMedia {
public:
    QList<Start> starts;
    QList<CallMessage> taken;
    int stops = 0;
    bool muted = false;
    bool camera = false;
    bool running = false;

    // A session description of about 20 KB, so that it needs several relay lines.
    static QString bigSdp(const char *kind) {
        QString sdp = QStringLiteral("v=0\r\ns=%1\r\n").arg(QLatin1String(kind));
        for (int i = 0; i < 400; ++i)
            sdp += QStringLiteral("a=x-filler:%1 abcdefghijklmnopqrstuvwxyz;0123456789\r\n").arg(i);
        return sdp;
    }

    void start(const Start &how) override {
        starts.append(how);
        running = true;
        muted = how.muted;
        camera = how.camera;
        if (!how.offerer)
            return;
        CallMessage offer;
        offer.sdp = bigSdp("offer");
        emit messageReady(offer);
        emit messageReady(candidate());
    }
    void takeMessage(const CallMessage &message) override {
        taken.append(message);
        if (message.type == CallMessage::Type::Offer) {
            CallMessage answer;
            answer.type = CallMessage::Type::Answer;
            answer.sdp = bigSdp("answer");
            emit messageReady(answer);
            emit messageReady(candidate());
        }
        if (message.type != CallMessage::Type::Candidate)
            QTimer::singleShot(0, this, [this] {
                if (running)
                    emit connected();
            });
    }
    void setMuted(bool on) override { muted = on; }
    void setCamera(bool on) override { camera = on; }
    void stop() override {
        ++stops;
        running = false;
    }

private:
    static CallMessage candidate() {
        CallMessage message;
        message.type = CallMessage::Type::Candidate;
        message.candidate = QStringLiteral("candidate:1 1 udp 2122260223 127.0.0.1 40000 typ host");
        message.sdpMid = QStringLiteral("0");
        message.mLineIndex = 0;
        return message;
    }
};
