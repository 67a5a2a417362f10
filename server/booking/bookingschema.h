#pragma once

class SchoolDatabase;

// The tables of the booking features, created when missing (also in schools created before
// them): calendar feed addresses, reminders sent, and clients waiting for a slot.
void CreateBookingTables(SchoolDatabase &db);
