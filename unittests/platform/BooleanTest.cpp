#include "platform/boolean.h"
#include "platform/error.h"

#include <gtest/gtest.h>

using Utilities::TextToBoolean;

TEST(TextToBoolean, WordsInAnyCaseAndTheHashForms) {
    EXPECT_TRUE(TextToBoolean(L"True"));
    EXPECT_TRUE(TextToBoolean(L"TRUE"));
    EXPECT_TRUE(TextToBoolean(L"#TRUE#"));
    EXPECT_FALSE(TextToBoolean(L"false"));
    EXPECT_FALSE(TextToBoolean(L"#FALSE#"));
}

TEST(TextToBoolean, NumbersAreTrueUnlessZero) {
    for (const wchar_t* text :
         {L"1", L"-1", L"+7", L" 42 ", L"0.5", L"1,000", L"1e3", L"&H1F", L"&o7", L".5"}) {
        EXPECT_TRUE(TextToBoolean(text)) << Utilities::ToUtf8(text);
    }
    for (const wchar_t* text : {L"0", L"-0", L"0.000", L"0e5", L"&H0", L"  0"}) {
        EXPECT_FALSE(TextToBoolean(text)) << Utilities::ToUtf8(text);
    }
}

TEST(TextToBoolean, AnythingElseIsATypeMismatch) {
    for (const wchar_t* text : {L"", L" ", L"Yes", L"ONE", L"Vrai", L"1x", L"1e", L",1", L"&H",
                                L"&HG", L"&O8", L"#true#", L"."}) {
        try {
            TextToBoolean(text);
            ADD_FAILURE() << "no error for '" << Utilities::ToUtf8(text) << "'";
        } catch (const ZPError& error) {
            EXPECT_EQ(error.Number(), 13);
            EXPECT_EQ(error.Description(), L"Type mismatch");
        }
    }
}
