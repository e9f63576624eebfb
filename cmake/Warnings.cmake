# Every target of ours gets the same warnings; CI turns them into errors.
add_library(scantouch_warnings INTERFACE)
target_compile_options(scantouch_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                    -Wno-sign-conversion)
if(SCANTOUCH_WERROR)
  target_compile_options(scantouch_warnings INTERFACE -Werror)
endif()
