#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// One signalling message of a call: the session description (offer or answer) or a network
// candidate, as the media engines exchange them. Read from a partner, every field is checked
// (kind, length, characters, numbers) before the engine sees it, and only the checked fields
// are passed on.
struct CallMessage {
    enum class Type { Offer, Answer, Candidate };

    static constexpr qsizetype MaxSdp = 64 * 1024;
    static constexpr qsizetype MaxCandidate = 1024;

    Type type = Type::Offer;
    QString sdp;         // Offer, Answer
    QString candidate;   // Candidate; empty: the partner has no more candidates
    QString sdpMid;      // Candidate
    int mLineIndex = -1; // Candidate; -1 when not given

    // The message as compact JSON ({"type":..., ...}).
    QByteArray toJson() const;
    // Reads and checks a message; nothing (and the reason) when it is not a sound one.
    static std::optional<CallMessage> fromJson(const QByteArray &text, QString *error = nullptr);
};
