#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// The call's partner lines on the lesson relay. Each is "@call<name>;fields" and travels as a
// partner line of the lesson channel (never echoed back, never seen by chat or pages):
//   @callhello;version;reply     the call is offered here (reply 1 answers a partner's hello)
//   @callring;id;video           the caller rings (video 1 when the camera is to be on)
//   @callaccept;id  @calldecline;id  @callbye;id
//   @callsig;id;message;index;count;chunk   one piece of a signalling message (base64)
// A call id is 1 to 16 lower-case hexadecimal digits; message numbers and pieces are decimal.
namespace CallWire {

inline constexpr int Version = 1;
// A signalling message is cut into at most this many pieces, of at most this many bytes in
// all (base64 text); a partner that sends more is refused.
inline constexpr int MaxPieces = 64;
inline constexpr qsizetype MaxMessageBytes = 96 * 1024;

enum class Kind { Hello, Ring, Accept, Decline, Bye, Signal };

// One call line as read from the partner.
struct Line {
    Kind kind = Kind::Hello;
    QByteArray callId;  // every kind but Hello
    int version = 0;    // Hello
    bool reply = false; // Hello
    bool video = false; // Ring
    int message = 0;    // Signal: the message's number (counts up from 1 within a call)
    int index = 0;      // Signal: the piece (from 0)
    int count = 0;      // Signal: pieces of the message
    QByteArray chunk;   // Signal: a piece of the base64 text
};

// True for the commands of the call (the partner-line names it answers to).
bool isCallCommand(const QByteArray &command);
// Reads a partner line (command and the rest after its ";"); nothing when it is malformed.
std::optional<Line> parse(const QByteArray &command, const QByteArray &rest);

QByteArray hello(bool reply);
QByteArray ring(const QByteArray &callId, bool video);
QByteArray accept(const QByteArray &callId);
QByteArray decline(const QByteArray &callId);
QByteArray bye(const QByteArray &callId);
// A message's text as the lines that carry it, each at most room bytes long; empty when the
// message does not fit MaxPieces lines of that room or MaxMessageBytes.
QList<QByteArray> signalLines(const QByteArray &callId, int message, const QByteArray &text,
                              qsizetype room);

// A fresh call id.
QByteArray newCallId();
bool validCallId(const QByteArray &id);

} // namespace CallWire
