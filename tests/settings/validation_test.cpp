// Validation: the stock rules table-driven, lists in order, messages and their translation, and
// rule texts and values that are not what a rule expects.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/global.h"
#include "platform/storage/bundle.h"
#include "settings/form/form_validation.h"
#include "settings/form/form_validators.h"

namespace {

struct ValidationTest : ::testing::Test {
    void SetUp() override {
        FormValidation::registerDefaultValidators();
        FormValidation::registerDefaultErrorMessages();
    }
    static std::string check(const Value& value, const std::string& rule, const std::string& name = "Field") {
        auto e = FormValidation::validateObject(value, name, std::string_view(rule));
        return e ? e->domain() + ": " + e->localizedDescription() : "";
    }
};

TEST_F(ValidationTest, StockRulesAcceptAndRefuseAsTheyShould) {
    struct Case {
        Value value;
        std::string rule, expected;
    };
    const std::string eleven(11, 'a');
    const std::vector<Case> cases = {
        {"a", "length(2,10)", "com.FormValidation.minimumLength: Field is too short (minimum is 2 characters)."},
        {eleven, "length(2,10)", "com.FormValidation.maximumLength: Field is too long (maximum is 10 characters)."},
        {"abcd", "length(2,10)", ""},
        {"", "length(0,0)", ""},
        {"x", "length(3)", ""},
        {"x", "length(1,2,3)", ""},
        {Value(), "length(2,10)", "com.FormValidation.minimumLength: Field is too short (minimum is 2 characters)."},
        // Length counts UTF-16 units, as the platform's strings do.
        {"\xC3\xA9\xC3\xA9", "length(3,10)",
         "com.FormValidation.minimumLength: Field is too short (minimum is 3 characters)."},
        {Value(), "presence", "com.FormValidation.presence: Field can't be blank."},
        {"", "presence", "com.FormValidation.presence: Field can't be blank."},
        {" ", "presence", ""},
        {"", "email", ""},
        {Value(), "email", ""},
        {"me@example.c", "email", "com.FormValidation.email: Field is not a valid email."},
        {"write to me@example.com today", "email", ""},
        {"example.com", "url", ""},
        {"https://example.com:8080/a/b?c=1", "url", ""},
        {"http://user:pw@example.org/path", "url", ""},
        {"caf\xC3\xA9.de", "url", ""},
        {"10.1.1.0", "url", "com.FormValidation.url: Field is not a valid url."},
        {"10.1.1.255", "url", "com.FormValidation.url: Field is not a valid url."},
        {"10.1.1.1", "url", ""},
        {"example.c", "url", "com.FormValidation.url: Field is not a valid url."},
        {"", "url", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(check(c.value, c.rule), c.expected) << c.rule << " on " << c.value.description();
}

TEST_F(ValidationTest, BadRuleTextsAndValuesGiveAnErrorOrNoneNeverACrash) {
    const std::vector<Value> values = {
        Value(),          Value(42), Value(3.5), Value(true), Value(std::string(100000, 'x')), Value::array({"a"}),
        Value("\xFF\xFE")};
    for (const char* rule : {"length(", "length(a,b)", "nosuchrule", "", "(", "length(99999999999999999999999,1)",
                             "url", "email", "presence"})
        for (const auto& v : values) (void)check(v, rule);
    EXPECT_EQ(check(Value(42), "length(2,10)"), "") << "a value that is not text has no length to check";
    EXPECT_EQ(check("abc", "nosuchrule"), "");
    EXPECT_EQ(check(Value(42), "presence"), "");
}

TEST_F(ValidationTest, AListKeepsItsOrderAndSkipsPassingRules) {
    auto inlinePass =
        FormValidator::validatorWithInlineValidation([](const Value&, const std::string&) { return nullptr; });
    auto inlineFail = FormValidator::validatorWithInlineValidation([](const Value&, const std::string& name) {
        return NSError::withDescription("custom", 7, name + " is wrong");
    });
    auto withParameters = FormLengthValidator::make();
    withParameters->setParameters(Value::dictionary({{"min", Value(5)}, {"max", Value(0)}}));
    std::vector<FormValidatorEntry> list = {std::string("presence"), inlinePass, withParameters, inlineFail,
                                            std::string("email")};
    auto errors = FormValidation::validateObject(Value("abc"), "Name", list);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0]->domain(), FormValidationMinimumLengthDomain);
    EXPECT_EQ(errors[1]->domain(), "custom");
    EXPECT_EQ(errors[2]->domain(), FormValidationEmailDomain);
    EXPECT_TRUE(FormValidation::validateObject(Value("abcdef@x.org"), "Name",
                                               std::vector<FormValidatorEntry>{std::string("presence")})
                    .empty());
}

TEST_F(ValidationTest, APercentSignInTheNameIsPrintedAsItIs) {
    EXPECT_EQ(check("", "presence", "100% %@ %i"), "com.FormValidation.presence: 100% %@ %i can't be blank.");
}

TEST_F(ValidationTest, ChangedTemplatesSurviveASecondDefaultRegistration) {
    auto saved = FormValidation::sharedObject()->errorMessages();
    FormValidation::setErrorMessage("%@ is required", FormValidationPresenceDomain);
    FormValidation::registerDefaultErrorMessages();
    EXPECT_EQ(check("", "presence"), "com.FormValidation.presence: Field is required");
    FormValidation::setErrorMessages(saved);
}

TEST_F(ValidationTest, TemplatesAreTranslatedByTheBundle) {
    namespace fs = std::filesystem;
    auto root = fs::temp_directory_path() / ("korva-form-bundle-" + std::to_string(::getpid()));
    fs::create_directories(root / "en.lproj");
    std::ofstream(root / "Info.plist") << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>";
    std::ofstream(root / "en.lproj" / "Localizable.strings")
        << "\"%@ can't be blank.\" = \"%@ darf nicht leer sein.\";\n";
    NSBundle::setMainBundleRoot(root.string());
    Global::resetSharedForTesting();
    EXPECT_EQ(check("", "presence", "Name"), "com.FormValidation.presence: Name darf nicht leer sein.");
    NSBundle::setMainBundleRoot("");
    Global::resetSharedForTesting();
    fs::remove_all(root);
    EXPECT_EQ(check("", "presence", "Name"), "com.FormValidation.presence: Name can't be blank.");
}

}  // namespace
