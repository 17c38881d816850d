#include "navigation/TlsErrorText.h"

#include "base/HtmlText.h"

namespace vesk {

namespace {

struct ProblemText {
    TlsProblem bit;
    const char* before;
    const char* after;
};

// In the order a person would want to read them: who issued it, whose it is,
// then when it holds and how well it was made.
constexpr ProblemText kProblems[] = {
    {kTlsUnknownIssuer, "The certificate of ",
     " was not issued by an authority this computer trusts; it may have been made by the site "
     "itself."},
    {kTlsWrongHost, "The certificate belongs to another site, not to ", "."},
    {kTlsNotYetValid, "The certificate of ", " is not valid yet."},
    {kTlsExpired, "The certificate of ", " has expired."},
    {kTlsRevoked, "The certificate of ", " has been withdrawn by the authority that issued it."},
    {kTlsInsecureAlgorithm, "The certificate of ",
     " is signed with a method that is no longer safe."},
    {kTlsGenericError, "The certificate of ", " could not be checked."},
};

// Every colour is the page's own, for light and for dark, so that no text is left
// to the engine's form controls, which do not all follow the dark look.
constexpr const char* kStyle = R"css(
:root {
  color-scheme: light dark; font-family: sans-serif;
  --page: #f6f5f4; --text: #2e3436; --button: #1c5fb0; --button-text: #ffffff;
}
@media (prefers-color-scheme: dark) {
  :root { --page: #242424; --text: #eeeeec; --button: #1c5fb0; --button-text: #ffffff; }
}
html, body { background-color: var(--page); color: var(--text); }
body { max-width: 40em; margin: 12vh auto; padding: 0 2em; line-height: 1.5; }
h1 { font-size: 1.6em; font-weight: 600; }
ul { padding-left: 1.2em; }
button {
  font: inherit; padding: 0.4em 1.1em; border-radius: 8px; margin: 0.6em 0;
  appearance: none; background-color: var(--button); color: var(--button-text);
  border: 1px solid var(--button);
}
details button { background-color: transparent; color: var(--text); border-color: var(--text); }
details { margin-top: 1.5em; }
summary { cursor: pointer; }
)css";

} // namespace

std::vector<std::string> tlsProblemSentences(const std::string& host, unsigned problems) {
    std::vector<std::string> sentences;
    for (const ProblemText& p : kProblems)
        if (problems & p.bit)
            sentences.push_back(p.before + host + p.after);
    if (sentences.empty())
        sentences.push_back("Something is wrong with the certificate of " + host + ".");
    return sentences;
}

std::string tlsErrorPageHtml(const std::string& host, unsigned problems) {
    const std::string site = escapeHtml(host);
    std::string html = "<!DOCTYPE html><html><head><meta charset='utf-8'><title>"
                       "Certificate Problem</title><style>";
    html += kStyle;
    html += "</style></head><body><h1>This connection is not safe</h1><p>Vesk stopped loading <b>";
    html += site;
    html += "</b> because it cannot confirm that the site is what it claims to be. Someone could "
            "be standing in for it to read or change what you send.</p><ul>";
    for (const std::string& sentence : tlsProblemSentences(host, problems))
        html += "<li>" + escapeHtml(sentence) + "</li>";
    html += "</ul><button ";
    html += kTlsActionAttribute;
    html += "='";
    html += kTlsActionBack;
    html += "' autofocus>Go Back</button><details><summary>Details</summary><p>Go on only if "
            "you know this site and why its certificate looks like this. Vesk keeps your choice "
            "for <b>";
    html += site;
    html += "</b> until it quits.</p><button ";
    html += kTlsActionAttribute;
    html += "='";
    html += kTlsActionAccept;
    html += "'>Accept the Risk and Continue</button></details></body></html>";
    return html;
}

} // namespace vesk
