#pragma once

#include <QString>

class RtfFormats;
struct RtfCharState;

// Reads fields (\field): gathers the instruction (\fldinst) and, where it is a HYPERLINK, makes the field's
// result (\fldrslt) a link to its address.
class RtfFieldReader final {
public:
    explicit RtfFieldReader(RtfFormats &formats) : formats_(formats) {}
    Q_DISABLE_COPY_MOVE(RtfFieldReader)

    void begin() { instruction_.clear(); }
    void appendToInstruction(char16_t unit);
    // At the result: the text from here on links to the instruction's address, if it has one.
    void beginResult(RtfCharState &chars);

private:
    RtfFormats &formats_;
    QString instruction_;
};
