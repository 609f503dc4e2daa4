#include "core/views/template_page.h"

#include "core/common/files.h"
#include "core/common/safe_file.h"
#include "core/text/cp932.h"

namespace tovalo {

Status writeTemplatePage(const std::string& templatePath, const std::string& pagePath,
                         const std::function<std::string(std::string_view)>& fill) {
    Result<std::string> bytes = readWholeFile(templatePath);
    if (!bytes) {
        return bytes.error();
    }
    const std::string page = fill(text::cp932ToUtf8(*bytes));
    // A page is thrown away and made again at the next click, so it needs
    // no sync; the atomic rename still keeps a browser from reading half of it.
    return saveFileAtomically(pagePath, text::utf8ToCp932(page, text::Unmappable::HtmlReference),
                              Durability::Replaceable);
}

}  // namespace tovalo
