#include "callreassembler.h"

CallReassembler::Result CallReassembler::add(const CallWire::Line &piece) {
    if (piece.kind != CallWire::Kind::Signal)
        return refuse(QStringLiteral("not a signalling piece"));
    if (piece.message <= m_lastComplete)
        return refuse(QStringLiteral("message %1 again or out of order").arg(piece.message));
    if (m_message == 0) {
        if (piece.index != 0)
            return refuse(QStringLiteral("message %1 starts with piece %2")
                              .arg(piece.message)
                              .arg(piece.index));
        m_message = piece.message;
        m_count = piece.count;
        m_next = 0;
        m_base64.clear();
    } else if (piece.message != m_message || piece.count != m_count || piece.index != m_next) {
        return refuse(QStringLiteral("piece %1/%2 of message %3 while %4/%5 of message %6 was due")
                          .arg(piece.index)
                          .arg(piece.count)
                          .arg(piece.message)
                          .arg(m_next)
                          .arg(m_count)
                          .arg(m_message));
    }
    if (m_base64.size() + piece.chunk.size() > CallWire::MaxMessageBytes)
        return refuse(QStringLiteral("message %1 is too long").arg(piece.message));
    m_base64 += piece.chunk;
    if (++m_next < m_count)
        return Result::Incomplete;
    const auto decoded =
        QByteArray::fromBase64Encoding(m_base64, QByteArray::AbortOnBase64DecodingErrors);
    const int number = m_message;
    m_message = 0;
    m_base64.clear();
    if (!decoded)
        return refuse(QStringLiteral("message %1 is not base64").arg(number));
    m_lastComplete = number;
    m_text = decoded.decoded;
    return Result::Complete;
}

void CallReassembler::reset() {
    *this = CallReassembler();
}

CallReassembler::Result CallReassembler::refuse(const QString &why) {
    m_error = why;
    m_message = 0;
    m_base64.clear();
    m_text.clear();
    return Result::Refused;
}
