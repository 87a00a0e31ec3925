#include "update/update_texts.h"

#include "lang/tr.h"

namespace lw {

std::string checking_for_updates_text() {
  return tr("업데이트를 확인하는 중…", "Checking for updates…");
}

std::string up_to_date_text(std::string_view version) {
  std::string text = tr("최신 버전을 사용 중입니다", "You're up to date");
  text += " (";
  text += version;
  text += ')';
  return text;
}

std::string update_question_text(std::string_view offered, std::string_view current) {
  std::string text = tr("새 버전이 나왔습니다:", "A new version is available:");
  text += ' ';
  text += offered;
  text += "\n(";
  text += tr("현재", "current");
  text += ' ';
  text += current;
  text += ")\n\n";
  text += tr("지금 업데이트할까요?", "Update now?");
  return text;
}

std::string downloading_update_text() {
  return tr("업데이트를 내려받는 중…", "Downloading update…");
}

std::string new_version_on_page_text(std::string_view offered) {
  return fill(tr("새 버전이 나왔습니다: {0}", "A new version is available: {0}"), {offered});
}

std::string download_failed_text() { return tr("내려받지 못했습니다", "Download failed"); }

std::string size_mismatch_text() {
  return tr("내려받은 파일의 크기가 맞지 않습니다", "Downloaded size mismatch");
}

std::string hash_mismatch_text() {
  return tr("내려받은 파일이 손상되었습니다 (해시 불일치)",
            "Downloaded file is corrupt (hash mismatch)");
}

std::string signature_failed_text() {
  return tr("설치 프로그램의 디지털 서명을 확인할 수 없습니다",
            "The installer's digital signature could not be verified");
}

}  // namespace lw
