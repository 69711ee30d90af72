#pragma once

#include "ui/controltable.h"

inline constexpr int kMainWindowWidth = 377;
inline constexpr int kMainWindowHeight = 287;

std::span<const ControlSpec> MainWindowControls();

// Control identifiers the code refers to by name.
namespace Ctrl {
enum : int {
    Departure = 1000, OJDeparture = 1001, OJArrival = 1002, Arrival = 1003, FlightQuery = 1004,
    ResultList = 1005, DepDate = 1006, Stops1 = 1007, Airline1 = 1008, Airline2 = 1009,
    Airline3 = 1010, CharterQuery = 1011, Economy = 1012, Oneway = 1013, RoundTrip = 1014,
    Tolerance = 1015, RTDepDate = 1016, Stops2 = 1017, Business = 1018, First = 1019, Stops3 = 1020,
    TTNormal = 1021, TTYouth = 1022, TTSenior = 1023, TTPartner = 1024, TTEthnic = 1025,
    TTAgent = 1026, Next = 1027, Previous = 1028, GetTariff = 1029, AutoQuery = 1030,
    ServerIP = 1031, ServerPort = 1032, Connect = 1033, RecordsetsOnly = 1034,
    TariffsOnBlock = 1035, Remarks = 1036, AirportCodes = 1037, AirlineCodes = 1038,
    Availability = 1039, Supplier = 1040, EmailBooking = 1042, CloseConn = 1043, Booking = 1044,
    CancelBooking = 1045, Message = 1046, SendMessage = 1047, AvailableFares = 1048,
    Currency = 1050, UseCRS = 1051, SpecialTest = 1052, HistorySpin = 1057, Elapsed = 1059,
};
} // namespace Ctrl
