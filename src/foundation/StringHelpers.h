#pragma once
// Small string operations with 0-based indices; "not found" is -1. Strings are
// UTF-8 and every index and length counts bytes.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace orbelin {

int PosChar(std::string_view s, char c);
int PosCharFrom(std::string_view s, char c, int from);
int LastPosChar(std::string_view s, char c);
// Last position whose character is one of chars.
int LastDelimiterIndex(std::string_view s, std::string_view chars);
bool Contains(std::string_view s, std::string_view sub);
// False when s is shorter than prefix; ignoreCase folds the letters A-Z only.
bool StartsWith(std::string_view s, std::string_view prefix, bool ignoreCase = false);

// Out-of-range positions and counts are cut to the string, as a substring
// request never reads outside it.
std::string CopyFrom(std::string_view s, int i);
std::string CopyRange(std::string_view s, int i, int n);
void InsertAt(std::string& s, int i, std::string_view sub);
void DeleteAt(std::string& s, int i, int n);

bool IsDigit(char c);
// The whole text must be a decimal integer (optional sign) within 32 bits.
bool TryParseInt(std::string_view text, int& value);
// The whole text must be a number written with the user's locale decimal
// separator (std::localeconv), optionally with an exponent.
bool TryParseFloat(std::string_view text, double& value);
// The same with a given decimal separator.
bool TryParseFloat(std::string_view text, double& value, std::string_view separator);

// Compares ignoring the case of A-Z (both sides folded to upper case), then by
// byte; negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
char UpperAscii(char c);

bool MatchesAny(std::string_view s, std::initializer_list<std::string_view> values);
bool MatchesAny(std::string_view s, const std::vector<std::string>& values);

// The bytes up to the first zero byte or maxLen bytes, whichever comes first;
// empty when maxLen <= 0.
std::string AnsiFromBuffer(const void* buffer, int maxLen);

}  // namespace orbelin
