// The columns of the users screen's five lists, with their captions from the tables.
#include "screens/users/tfrusers.h"

#include "grid/columndef.h"
#include "grid/dbgridex.h"
#include "grid/gridframe.h"
#include "lang/texts.h"
#include "screens/orders/tfrorder.h"

#include <QTabWidget>
#include <QToolButton>

namespace {

TColumn shown(const char *field, int caption, int width = 90) {
    return MakeColumn(QString::fromLatin1(field), AppText(caption), width);
}

TColumn hidden(const char *field) {
    return MakeColumn(QString::fromLatin1(field), QString::fromLatin1(field), 64, false);
}

void alignRight(TColumnList &columns, std::initializer_list<const char *> fields) {
    for (const char *field : fields) {
        const int i = FindColumnIndex(columns, QString::fromLatin1(field));
        if (i >= 0)
            columns[i].alignment = TColumnAlignment::Right;
    }
}

TColumnList userColumns() {
    TColumnList c;
    c << shown("SURNAME", 390, 100) << shown("FIRSTNAME", 391, 80) << shown("TITLE", 392, 40)
      << hidden("IDUSER") << shown("USERTYPE_L", 393, 90) << shown("USERACTIVE_L", 394, 50)
      << shown("USERLEVEL_L", 395, 100);
    for (const char *field : {"USERTYPE", "USERLEVEL", "COURSE", "USERACTIVE", "IDJOB"})
        c << hidden(field);
    c << shown("EMAIL", 396, 140) << shown("SKYPENICK", 397) << shown("COURSE_L", 398, 110)
      << shown("BOOKIDS", 399, 70) << shown("LOGINNAME", 400) << hidden("LOGINPASS")
      << shown("LASTLOGWHEN", 401, 125) << shown("LASTLOGENVLANG_L", 402, 80);
    for (const char *field : {"LASTLOGTYPE", "LASTLOGENVLANG", "LASTLOGVER"})
        c << hidden(field);
    c << shown("LASTLOGIP", 403);
    for (const char *field : {"LASTLOGBOOKSVER", "LASTLOGSKYPEVER", "LASTLOGOSVER"})
        c << hidden(field);
    c << shown("WHENCONFIRMREGIST", 404, 125) << shown("PROGTESTRESULT", 405, 60)
      << shown("HOURDEBIT", 406, 60) << shown("HOURSORDERED", 407, 60)
      << shown("HOURSPAYED", 408, 60) << shown("AMOUNTORDERED", 409, 80)
      << shown("AMOUNTPAYED", 410, 80) << shown("HOURSEXPIRED", 433, 60)
      << shown("HOURSLEARNED", 411, 60) << shown("HOURSMISSED", 412, 60)
      << shown("HOURSCONFIRMED", 413, 60) << shown("HOURSUNCONFIRMED", 414, 60)
      << hidden("HOURSSTORNOPAY") << shown("HOURSFREE", 434, 60)
      << shown("WHENEXPIREHOURSFREE", 435, 125);
    for (const char *field : {"HOURSTEACHED", "HOURSTEACHMISSED", "HOURSTEACHCONFIRM",
                              "HOURSTEACHUNCONFIRM", "HOURSTEACHSTORNOPAY", "FULLNAME"})
        c << hidden(field);
    c << shown("WHENBORN", 332, 80) << shown("ICO", 415, 70) << shown("DIC", 416, 80)
      << shown("FIRMNAME", 417, 120) << shown("ADDRESSNAME_F", 418, 120)
      << shown("STREET_F", 419, 120) << shown("CITY_F", 420) << shown("ZIP_F", 421, 60)
      << shown("COUNTRY_F", 422) << shown("ADDRESSNAME_C", 423, 120) << shown("STREET_C", 424, 120)
      << shown("CITY_C", 425) << shown("ZIP_C", 426, 60) << shown("COUNTRY_C", 427)
      << shown("PHONENUMBER", 428) << shown("PHONENUMBER2", 429) << shown("BANKACCOUNT", 430)
      << shown("BANKCODE", 431, 60) << shown("REMARK", 432, 150);
    alignRight(c, {"PROGTESTRESULT", "HOURDEBIT", "HOURSORDERED", "HOURSPAYED", "AMOUNTORDERED",
                   "AMOUNTPAYED", "HOURSEXPIRED", "HOURSLEARNED", "HOURSMISSED", "HOURSCONFIRMED",
                   "HOURSUNCONFIRMED", "HOURSFREE"});
    return c;
}

TColumnList timetableColumns() {
    TColumnList c;
    c << shown("WHENHOUR", 358, 125) << shown("HOURS", 359, 45)
      << shown("TEACHERFULLNAME", 360, 140) << shown("CLIENTFULLNAME", 361, 140)
      << shown("STATUSNAME_L", 362, 150) << shown("WHENSTATUSCHANGE", 363, 125)
      << shown("CHANGERFULLNAME", 364, 140);
    for (const char *field :
         {"IDTIMETABLE", "IDJOB", "IDTEACHER", "TIMETABLESTATUS", "IDUSER", "WHOSTATUSCHANGE"})
        c << hidden(field);
    alignRight(c, {"HOURS"});
    return c;
}

TColumnList loginColumns() {
    TColumnList c;
    c << hidden("IDLOGIN") << shown("WHENLOGIN", 370, 125) << shown("LOGINIP", 371)
      << hidden("LOGINTYPE") << shown("LOGINVERSION", 372, 80);
    for (const char *field : {"LOGINNAME", "LOGINPASS", "LOGINJOB", "LOGINENVLANG"})
        c << hidden(field);
    c << shown("LOGINBOOKSVER", 373, 70) << shown("LOGINSKYPESVER", 374, 70)
      << shown("LANGNAME", 375, 80) << shown("LOGINOSVER", 376, 120) << shown("LOGINSSL", 377, 40)
      << shown("LOGINPROXY", 378, 50) << shown("LOGINPOLLING", 379, 50) << hidden("IDUSER")
      << hidden("SUCCESS");
    return c;
}

TColumnList msgColumns() {
    TColumnList c;
    c << shown("WHENSENT", 380, 125) << hidden("IDMSG") << hidden("IDJOB") << hidden("IDENVLANG")
      << shown("MSGTYPE", 381, 40) << shown("EMAILTO", 382, 150);
    for (const char *field : {"WHOINITIATOR", "WHORECEIVER", "WHENREADED"})
        c << hidden(field);
    c << shown("EMAILSUBJECT", 383, 200) << hidden("EMAILBODY") << shown("EMAILSENT_L", 384, 60)
      << shown("FULLNAME", 385, 140) << shown("LANGNAME", 386, 80) << shown("IDREF", 387, 70);
    return c;
}

} // namespace

void Tfrusers::InitScreen() {
    frg->gr->SetColumns(userColumns());
    TColumnList orders = OrderListColumns(); // the client's name is the selected user's
    orders[FindColumnIndex(orders, QStringLiteral("FULLNAME"))].visible = false;
    frg_order->gr->SetColumns(orders);
    frg_timetable->gr->SetColumns(timetableColumns());
    frg_login->gr->SetColumns(loginColumns());
    frg_msg->gr->SetColumns(msgColumns());
    pgc->setTabText(OrdersTab, AppText(1400));
    pgc->setTabText(TimetableTab, AppText(1401));
    pgc->setTabText(LoginTab, AppText(1402));
    pgc->setTabText(MsgTab, AppText(1403));
    spb_neworder->setText(AppText(290));
    spb_timetable_new->setText(AppText(351));
    spb_timetable_changestatus->setText(AppText(352));
    spb_timetable_hist->setText(AppText(354));
    spb_msg_detail->setText(AppText(1404));
}
