#pragma once

#include <QString>

// Title of the application: task bar and every plain notice.
inline const QString AppTitle = QStringLiteral("Firmware Tessiro");

// Variant of the gateway this build serves; decides which banks are generated and merged.
constexpr int VariantCode = 2;

// The maker's addresses, kept here and nowhere else.
inline const QString MakerWebAddress = QStringLiteral("www.example.com");
inline const QString MakerWebPage = QStringLiteral("https://www.example.com/tessiro");
inline const QString MakerSupportAddress = QStringLiteral("support@example.com");
