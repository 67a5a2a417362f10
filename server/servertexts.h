#pragma once

#include <QString>

// The messages the server sends after "error", in the signed-in user's language.
enum class Msg {
    UnknownAction,
    MalformedRequest,
    UnknownProvider,
    NotAllowed,
    MissingParameter,
    BadChangeSet,
    ChangeSetTooLarge,
    BadFieldValue,
    FieldNotEditable,
    RecordNotFound,
    OrderTypeNotOffered,
    NotAClient,
    LessonNotFound,
    SlotNotFree,
    NoBookableHours,
    LessonInPast,
    StatusNotAllowed,
    SlotTaken,
    OnlyFreeSlotDeleted,
    NoEmailAddress,
    BookNotAllowed,
    FileNotFound,
    BadTestResult,
    ClientRequired,
    ValueTooLong,
    ServerFailure,
    ValueOutOfRange,
    TooManyOpenOrders,
    TestAlreadyTaken,
    LessonNotYetHeld,
    // booking features
    CancelTooLate,
    RepeatConflicts,
    RepeatTooFewHours,
    TooManyWaits,
};

// Language numbers of the sign-in: 2 Czech, 3 Slovak; anything else reads as Czech.
QString ServerText(Msg message, int envLang);
// The language's name as the lists show it ("čeština", "slovenčina").
QString LanguageName(int envLang);
// The column suffix of texts stored per language ("CS" or "SK").
QString LanguageSuffix(int envLang);
