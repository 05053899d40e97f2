// The tokenizer after constructs that run to the end of the text: what follows them is still read
// as it stands, and hostile input costs linear time.

#include "xml/CXmlDocument.h"
#include "xml/CXmlTokenizer.h"

#include <QString>

#include <gtest/gtest.h>
#include <string>

namespace {

// The tokens of a text as "type@start+length" separated by spaces; errors as "E@start".
std::string Tokens(const std::u16string& text)
{
    CXmlTokenizer tokenizer(text.data(), 0, static_cast<uint32_t>(text.size()));
    std::string out;
    SXmlToken tok;
    for (tokenizer.Next(tok); tok.nType != XmlNode::kEndOfText; tokenizer.Next(tok)) {
        out += out.empty() ? "" : " ";
        if (tok.nType == XmlNode::kError) {
            out += "E@" + std::to_string(tok.nStart);
        } else {
            out += std::to_string(tok.nType) + "@" + std::to_string(tok.nStart) + "+" + std::to_string(tok.nLength);
        }
    }
    return out;
}

TEST(Tokenizer, WhatFollowsAnUnterminatedConstructIsReadAsItStands)
{
    struct SCase
    {
        const char16_t* pszText;
        const char* pszTokens;
    };
    const SCase cases[] = {
        // The failed scan of the first tag passed "<b>" inside quotes; outside quotes it is a tag.
        {u"<a \"<b>", "E@0 1@4+3"},
        {u"<a \"<b '\"'>", "E@0 1@4+7"},
        {u"<a \"<b \"x", "E@0 E@4"},
        {u"<a '<b \"<c>", "E@0 E@4 1@8+3"},
        {u"<a<a<a", "E@0 E@2 E@4"},
        // A doctype inside an unterminated one closes when the depth falls below where it began.
        {u"<!DOCTYPE a <!DOCTYPE b>", "E@0 64@12+12"},
        {u"<!DOCTYPE a <x> <!DOCTYPE b <y>", "E@0 1@12+3 4@15+1 E@16 1@28+3"},
        {u"<!DOCTYPE a <!DOCTYPE b <!DOCTYPE c>>", "E@0 64@12+25"},
        {u"<!DOCTYPE a <!DOCTYPE b <!DOCTYPE c>", "E@0 E@12 64@24+12"},
        {u"<!-- <!-- -->", "32@0+13"},
        {u"<?a <!-- x <?b", "E@0 E@4 E@11"},
        {u"</a </b </c>", "0@0+12"},
        {u"</a </b", "E@0 E@4"},
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(Tokens(c.pszText), c.pszTokens) << QString::fromUtf16(c.pszText).toStdString();
    }
}

// Each of these took minutes when every unterminated construct scanned to the end again; the
// parse must report the first error and keep a consistent index.
TEST(Tokenizer, HostileInputsParseWithTheirFirstError)
{
    constexpr int kRepeats = 400000;
    struct SCase
    {
        const char* pszPiece;
        const char* pszError;
    };
    const SCase cases[] = {
        {"<a", "Element tag at offset 0 unterminated"},
        {"<a '\"", "Element tag at offset 0 unterminated"},
        {"</a", "Element end tag at offset 0 unterminated"},
        {"<!DOCTYPE", "Doctype at offset 0 unterminated"},
        {"<?", "Processing instruction at offset 0 unterminated"},
        {"<!--", "Comment at offset 0 unterminated"},
        {"<![CDATA[", "CDATA Section at offset 0 unterminated"},
    };
    for (const SCase& c : cases) {
        QString text;
        const QString piece = QString::fromLatin1(c.pszPiece);
        text.reserve(piece.size() * kRepeats);
        for (int i = 0; i < kRepeats; ++i) {
            text += piece;
        }
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocument(text));
        EXPECT_EQ(doc.GetResultText().toStdString(), c.pszError) << c.pszPiece;
        EXPECT_TRUE(doc.IsIndexConsistent());
    }
}

}  // namespace
