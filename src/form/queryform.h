#pragma once

// The record of every value the operator edits or reads in the main window.
// Texts are wire bytes (Windows-1252), exactly as they go to the server.

#include <QByteArray>
#include <QtGlobal>

struct QueryForm
{
    QByteArray m_strDeparture;
    QByteArray m_strOJDeparture;
    QByteArray m_strOJArrival;
    QByteArray m_strArrival;
    QByteArray m_strDepDate;
    QByteArray m_strTolerance;
    int m_bEconomy = 1;
    int m_bBusiness = 1;
    int m_bFirst = 1;
    QByteArray m_strRTDepDate;
    QByteArray m_strAirline1;
    QByteArray m_strAirline2;
    QByteArray m_strAirline3;
    QByteArray m_strStops1;
    QByteArray m_strStops2;
    QByteArray m_strStops3;
    int m_nTripType = 1; // radio index: 0 Oneway, 1 RoundTrip, -1 none checked
    int m_bTTNormal = 1;
    int m_bTTYouth = 0;
    int m_bTTSenior = 0;
    int m_bTTPartner = 0;
    int m_bTTEthnic = 0;
    int m_bTTAgent = 0;
    int m_bAutoQuery = 0;
    QByteArray m_strServerIP;
    quint32 m_nServerPort = 0;
    int m_nResultMode = 1; // radio index: 0 recordsets only, 1 tariffs on block
    QByteArray m_strSupplier;
    QByteArray m_strMessage;
    QByteArray m_strCurrency = "DEM";
    QByteArray m_strUseCRS;
    QByteArray m_strElapsed;
};

// The five values that outlive the main window and are stored by the
// application's exit step.
struct SavedCopies
{
    QByteArray m_strSavedDeparture;
    QByteArray m_strSavedArrival;
    QByteArray m_strSavedDepDate;
    QByteArray m_strSavedServerIP;
    qint32 m_nSavedPort = 0;
};
