#include "frame/failure.h"

namespace tovrel {

const char* Failure::what() const noexcept { return "run-time error"; }

std::string error_description(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::Overflow:
      return "오버플로";
    case ErrorNumber::FileNotFound:
      return "파일을 찾을 수 없습니다.";
    case ErrorNumber::PermissionDenied:
      return "권한이 없습니다.";
    case ErrorNumber::PathFileAccessError:
      return "경로/파일 액세스 오류";
  }
  return "알 수 없는 오류";
}

std::string runtime_error_report(const Failure& failure) {
  return "런타임 오류 '" + std::to_string(static_cast<int>(failure.number())) + "':\n\n" +
         error_description(failure.number());
}

}  // namespace tovrel
