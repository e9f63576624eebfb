# Applied to the whole tree so that the core, its tests and their fakes agree on the runtime.
if(SCANTOUCH_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
