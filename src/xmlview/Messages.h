#pragma once

#include <QString>

// Every text the XML viewer and its reader show, in one place.
namespace XmlMessages {
// Reader.
inline const QString UnexpectedEnd = QStringLiteral("Unexpected end of data");
inline const QString DeclarationNotTerminated = QStringLiteral("XML declaration not terminated with \"?>\"");
inline const QString DocTypeNotImplemented = QStringLiteral("DocTypeDecl parsing not yet implemented");
inline const QString MissingElement = QStringLiteral("Missing element");
inline const QString CommentEnd = QStringLiteral("Comments cannot end in \"--->\"");
inline const QString PINoName = QStringLiteral("Processing instruction does not contain valid name");
inline const QString PIReservedName = QStringLiteral("Processing instruction cannot have the reserved name \"xml\"");
inline const QString PIUnterminated = QStringLiteral("Unterminated processing instruction");
inline const QString TagNotTerminated = QStringLiteral("Tag not terminated properly");
inline const QString NoEndingTag = QStringLiteral("No ending tag for ");
inline const QString EndTagMismatch = QStringLiteral("End tag name \"%1\" does not match start tag name \"%2\"");
inline const QString EndTagMissingGt = QStringLiteral("End tag missing \">\"");
inline const QString EqualsMissing = QStringLiteral("Equals sign missing in attribute");
inline const QString AttributeMissingValue = QStringLiteral("Attribute \"%1\" missing value");
inline const QString LtInAttribute = QStringLiteral("Invalid character \"<\" in attribute value");
inline const QString CDataEndInText = QStringLiteral("Character data cannot contain \"]]>\"");
inline const QString InvalidIntegerReference = QStringLiteral("Invalid integer in reference &");
inline const QString UnrecognizedReference = QStringLiteral("Unrecognized reference");
// Our own bound: the reader recurses once per element level.
inline const QString NestedTooDeep = QStringLiteral("Elements nested deeper than %1 levels cannot be read");
// And one for the offsets its nodes keep.
inline const QString InputTooLarge = QStringLiteral("Documents larger than %1 bytes cannot be read");

// Display texts.
inline const QString FilePrefix = QStringLiteral("File: ");
inline const QString ProcessingInstructionSuffix = QStringLiteral("ProcessingInstruction");
inline const QString XMLDeclarationText = QStringLiteral("XMLDeclaration");
inline const QString ValueSeparator = QStringLiteral(" = ");

// Viewer window.
inline const QString WindowCaption = QStringLiteral("XML Reader & Writer");
inline const QString OpenCaption = QStringLiteral("Open ");
inline const QString FullExpandCaption = QStringLiteral("Full Expand");
inline const QString WriteCaption = QStringLiteral("Write");
inline const QString OpenDialogTitle = QStringLiteral("Open XML File");
inline const QString OpenDialogFilter = QStringLiteral("XML Files (*.xml)|*.xml");
inline const QString OpenDialogDefaultExt = QStringLiteral("xml");
inline const QString CannotOpenFile = QStringLiteral("Cannot open file \"%1\". %2");

// Write refuses these instead of writing a wrong or misplaced file.
inline const QString WriteNoProject = QStringLiteral("No project is open; nothing was written");
inline const QString WriteNotPlainName =
    QStringLiteral("\"%1\" is not a file name inside the project directory; nothing was written");
inline const QString WriteInvalidName = QStringLiteral("\"%1\" is not a valid XML name; nothing was written");
inline const QString WriteUnwritableCharacter =
    QStringLiteral("\"%1\" holds a character that cannot be written as one byte; nothing was written");
inline const QString WriteBadProcessingData =
    QStringLiteral("\"%1\": processing instruction data cannot hold \"?>\"; nothing was written");
inline const QString ReplaceFile = QStringLiteral("File %1 exists. Replace it?");
inline const QString CannotWriteFile = QStringLiteral("Cannot write file \"%1\". %2");
} // namespace XmlMessages
