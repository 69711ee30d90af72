#include "ui/querydlg_layout.h"

namespace {

using K = ControlKind;

// The main window's controls in creation (and tab) order, in dialog units.
const ControlSpec kMainControls[] = {
    {1031, K::Edit, "", 80, 14, 71, 14},
    {1032, K::Edit, "", 195, 14, 37, 14, kDigitsOnly},
    {1033, K::Button, "Co&nnect", 247, 14, 50, 14},
    {1000, K::Edit, "", 80, 44, 54, 14, kUpperCase},
    {1003, K::Edit, "", 80, 59, 54, 14, kUpperCase},
    {1001, K::Edit, "", 80, 73, 54, 14, kUpperCase},
    {1002, K::Edit, "", 80, 88, 54, 14, kUpperCase},
    {1006, K::Edit, "", 80, 103, 54, 14},
    {1016, K::Edit, "", 80, 118, 54, 14, kDigitsOnly},
    {1015, K::Edit, "", 80, 133, 54, 14, kDigitsOnly},
    {1008, K::Edit, "", 211, 44, 54, 14, kUpperCase},
    {1009, K::Edit, "", 211, 59, 54, 14, kUpperCase},
    {1010, K::Edit, "", 211, 74, 54, 14, kUpperCase},
    {1007, K::Edit, "", 211, 88, 54, 14, kUpperCase},
    {1017, K::Edit, "", 211, 103, 54, 14, kUpperCase},
    {1020, K::Edit, "", 211, 118, 54, 14, kUpperCase},
    {1040, K::Edit, "", 211, 133, 54, 14, kUpperCase},
    {1037, K::Button, "&Codes", 137, 44, 32, 14},
    {1038, K::Button, "&Codes", 268, 44, 32, 14},
    {1012, K::CheckBox, "Economy", 17, 165, 48, 10},
    {1018, K::CheckBox, "Business", 17, 175, 48, 10},
    {1019, K::CheckBox, "First", 17, 185, 48, 10},
    {1013, K::Radio, "Oneway", 87, 169, 48, 10, kGroupStart},
    {1014, K::Radio, "RoundTrip", 87, 178, 48, 10},
    {1021, K::CheckBox, "&Normal", 145, 165, 54, 10},
    {1022, K::CheckBox, "&Youth", 145, 174, 54, 10},
    {1023, K::CheckBox, "&Senior", 145, 183, 54, 10},
    {1024, K::CheckBox, "&Partner", 205, 165, 39, 10},
    {1025, K::CheckBox, "Et&hnic", 205, 174, 39, 10},
    {1026, K::CheckBox, "A&gent", 205, 183, 33, 10},
    {1050, K::Edit, "", 261, 175, 28, 14, kUpperCase},
    {1046, K::Edit, "", 8, 266, 289, 14, kUpperCase},
    {1004, K::DefaultButton, "Flight &query", 312, 7, 58, 14},
    {1011, K::Button, "&Charter query", 312, 23, 58, 14},
    {1043, K::Button, "&Close Conn.", 312, 39, 58, 14},
    {1027, K::Button, "&Next", 312, 55, 58, 14},
    {1028, K::Button, "&Previous", 312, 71, 58, 14},
    {1029, K::Button, "Get &tariff", 312, 87, 58, 14},
    {1036, K::Button, "Re&marks", 312, 103, 58, 14},
    {1039, K::Button, "A&vailability", 312, 119, 58, 14},
    {1042, K::Button, "E-Mail Booking", 312, 135, 58, 14},
    {1044, K::Button, "&Booking", 312, 151, 58, 14},
    {1045, K::Button, "Cancel Booking", 312, 167, 58, 14},
    {1051, K::Edit, "", 312, 238, 58, 14, kUpperCase},
    {1052, K::Button, "Special test", 312, 218, 58, 11},
    {1047, K::Button, "Send Message", 312, 266, 58, 13},
    {-1, K::Label, "Server IP-address:", 17, 17, 58, 8},
    {-1, K::Label, "Server port:", 153, 17, 41, 8},
    {-1, K::Label, "Departure airport:", 21, 46, 58, 8},
    // Wider and further left than its neighbours: at 48 units this label
    // was cut off after "OJ departure".
    {-1, K::Label, "OJ departure airport:", 11, 75, 68, 8},
    {-1, K::Label, "OJ arrival airport:", 22, 90, 55, 8},
    {-1, K::Label, "Arrival airport:", 21, 61, 58, 8},
    {-1, K::Label, "Departure day:", 22, 105, 58, 8},
    {-1, K::Label, "Tolerance:", 22, 135, 58, 8},
    {-1, K::Label, "RT departure day:", 22, 121, 58, 8},
    {-1, K::Label, "Airline 1:", 176, 46, 33, 8},
    {-1, K::Label, "Airline 2:", 176, 61, 33, 8},
    {-1, K::Label, "Airline 3:", 176, 76, 33, 8},
    {-1, K::Label, "Stops 1:", 176, 91, 33, 8},
    {-1, K::Label, "Stops 2:", 176, 105, 33, 8},
    {-1, K::Label, "Stops 3:", 176, 120, 33, 8},
    {1005, K::ListBox, "", 7, 201, 298, 51},
    {1034, K::Radio, "Request recordsets only", 7, 253, 145, 10, kGroupStart},
    {1035, K::Radio, "&Get tariffs on block", 156, 253, 140, 10},
    {1030, K::CheckBox, "Alle 2 Sekunden autom. 1 Abfrage", 237, 246, 133, 10, kHidden},
    {-1, K::GroupBox, "Flight query", 7, 34, 298, 118},
    {-1, K::GroupBox, "Tarifftype", 139, 154, 109, 43},
    {-1, K::GroupBox, "Roundtrip?", 77, 154, 60, 43},
    {-1, K::GroupBox, "Cabinclass", 7, 154, 65, 43},
    {-1, K::GroupBox, "Settings", 7, 3, 298, 30},
    {-1, K::Label, "Supplier:", 175, 136, 33, 8},
    {-1, K::GroupBox, "Currency", 251, 154, 54, 43},
    {-1, K::Label, "Use CRS:", 312, 230, 54, 8},
    {1057, K::Spin, "Spin1", 297, 266, 9, 13},
    {1048, K::Button, "Available Fares", 312, 183, 58, 14},
    {1059, K::Edit, "", 312, 202, 58, 14},
};

} // namespace

std::span<const ControlSpec> MainWindowControls()
{
    return kMainControls;
}
