#include "app/SecurityPopover.h"

namespace vesk {

namespace {

constexpr int kWidthChars = 44;
constexpr int kSpacing = 6;

} // namespace

SecurityPopover::SecurityPopover(Gtk::Widget& parent)
    : popover_(Gtk::make_managed<Gtk::Popover>()), host_(Gtk::make_managed<Gtk::Label>()),
      meaning_(Gtk::make_managed<Gtk::Label>()), certificate_(Gtk::make_managed<Gtk::Grid>()) {
    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSpacing);
    box->set_margin(kSpacing * 2);
    host_->add_css_class("heading");
    host_->set_xalign(0);
    host_->set_wrap(true);
    host_->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    host_->set_max_width_chars(kWidthChars);
    meaning_->set_xalign(0);
    meaning_->set_wrap(true);
    meaning_->set_max_width_chars(kWidthChars);
    certificate_->set_row_spacing(kSpacing / 2);
    certificate_->set_column_spacing(kSpacing * 2);
    certificate_->set_margin_top(kSpacing);
    box->append(*host_);
    box->append(*meaning_);
    box->append(*certificate_);
    clearSiteData_ = Gtk::make_managed<Gtk::Button>("Clear cookies and site data");
    clearSiteData_->set_margin_top(kSpacing);
    clearSiteData_->signal_clicked().connect([this] {
        close();
        clearSiteDataAsked_.emit(shownHost_);
    });
    box->append(*clearSiteData_);
    popover_->set_child(*box);
    popover_->add_css_class("vesk-security-popover");
    popover_->set_position(Gtk::PositionType::BOTTOM);
    popover_->set_parent(parent);
    // A widget must leave its parent before the parent goes; the parent's
    // owner does not know about the popover.
    parentDestroyed_ = parent.signal_destroy().connect([this] {
        if (popover_ && popover_->get_parent())
            popover_->unparent();
        popover_ = nullptr;
    });
}

SecurityPopover::~SecurityPopover() {
    parentDestroyed_.disconnect();
    if (popover_ && popover_->get_parent())
        popover_->unparent();
}

void SecurityPopover::addRow(int row, const std::string& name, const std::string& value) {
    auto* key = Gtk::make_managed<Gtk::Label>(name);
    key->add_css_class("dim-label");
    key->set_xalign(0);
    key->set_valign(Gtk::Align::START);
    auto* text = Gtk::make_managed<Gtk::Label>(value);
    text->set_xalign(0);
    text->set_wrap(true);
    text->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    text->set_max_width_chars(kWidthChars - 10);
    certificate_->attach(*key, 0, row);
    certificate_->attach(*text, 1, row);
}

void SecurityPopover::open(const SecurityDetails& details, const Gdk::Rectangle& area) {
    if (!popover_)
        return;
    host_->set_text(details.host);
    shownHost_ = details.host;
    clearSiteData_->set_visible(!details.host.empty());
    meaning_->set_text(securityMeaning(details.security));
    while (Gtk::Widget* child = certificate_->get_first_child())
        certificate_->remove(*child);
    if (const auto& cert = details.certificate) {
        int row = 0;
        addRow(row++, "Subject", cert->subject);
        addRow(row++, "Issuer", cert->issuer);
        addRow(row++, "Valid from", cert->notBefore);
        addRow(row++, "Valid until", cert->notAfter);
        addRow(row++, "SHA-256", cert->sha256);
    }
    certificate_->set_visible(details.certificate.has_value());
    popover_->set_pointing_to(area);
    popover_->popup();
}

void SecurityPopover::close() {
    if (popover_)
        popover_->popdown();
}

} // namespace vesk
