#include "frame/failure.h"

#include <new>

namespace tovrel {
namespace {

std::string error_description(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::Overflow:
      return "오버플로";
    case ErrorNumber::OutOfMemory:
      return "메모리가 부족합니다.";
    case ErrorNumber::InternalError:
      return "내부 오류";
    case ErrorNumber::FileNotFound:
      return "파일을 찾을 수 없습니다.";
    case ErrorNumber::PermissionDenied:
      return "권한이 없습니다.";
    case ErrorNumber::PathFileAccessError:
      return "경로/파일 액세스 오류";
    case ErrorNumber::PathNotFound:
      return "경로를 찾을 수 없습니다.";
  }
  return "알 수 없는 오류";
}

}  // namespace

const char* Failure::what() const noexcept { return "run-time error"; }

Failure current_failure() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return Failure(ErrorNumber::OutOfMemory);
  } catch (...) {
    return Failure(ErrorNumber::InternalError);
  }
}

std::string runtime_error_report(const Failure& failure) {
  return "런타임 오류 '" + std::to_string(static_cast<int>(failure.number())) + "':\n\n" +
         error_description(failure.number());
}

}  // namespace tovrel
