#pragma once

#include "lesson/relay/lessonchannel.h"

#include <QMap>
#include <QSet>
#include <functional>

// A lesson screen stand-in that records what the channel reports, with a library of book
// numbers for the pages the teacher asks to show.
class TestLessonHost : public LessonChannelHost {
public:
    LessonIdentity who;
    QList<OnlineTeacher> teachers;
    int choice = 0;
    QList<QList<OnlineTeacher>> offered;
    QMap<QString, QString> names;
    QList<int> books{1, 3};
    int book = 1;
    int page = 0;

    QString panel, button, status;
    QStringList statuses;
    QList<QPair<QString, QStringList>> chats;
    QList<bool> syncs;
    QList<QPair<int, int>> shownPages;
    QList<QPair<int, int>> audio;
    QList<int> loadedHistories;
    int savedHistories = 0;
    int forgottenHistories = 0;
    bool hasPartner = false;
    std::function<void()> onPageShown;

    LessonIdentity identity() override { return who; }
    // What the central server answers for a relay token (empty: it issues none), or where a
    // fresh one comes from.
    std::optional<QByteArray> token = QByteArray();
    std::function<std::optional<QByteArray>()> tokenSource;
    int tokensAsked = 0;
    std::optional<QByteArray> relayToken() override {
        ++tokensAsked;
        return tokenSource ? tokenSource() : token;
    }
    void connectionTextsChanged(const QString &p, const QString &b) override {
        panel = p;
        button = b;
    }
    void statusTextChanged(const QString &text) override {
        status = text;
        statuses.append(text);
    }
    QList<OnlineTeacher> fetchOnlineTeachers() override { return teachers; }
    int chooseTeacher(const QList<OnlineTeacher> &list) override {
        offered.append(list);
        return choice;
    }
    QString userName(const QString &id) override { return names.value(id); }
    void saveChatHistory() override { ++savedHistories; }
    void loadChatHistory(int id) override { loadedHistories.append(id); }
    void forgetChatHistory() override { ++forgottenHistories; }
    void partnerChanged(bool present) override { hasPartner = present; }
    void chatReceived(const QString &writer, const QStringList &lines) override {
        chats.append({writer, lines});
    }
    void syncChanged(bool on) override { syncs.append(on); }
    bool followBook(int number, std::optional<int> p) override {
        if (!books.contains(number))
            return false;
        book = number;
        page = p.value_or(1);
        return true;
    }
    void showFollowedPage() override {
        shownPages.append({book, page});
        if (onPageShown)
            onPageShown();
    }
    void followAudio(int index, int action) override { audio.append({index, action}); }
    bool currentPage(int &number, int &p) override {
        number = book;
        p = page;
        return true;
    }
};
