# Common settings for the program's own targets.

# Windows XP headers: the 504-byte NOTIFYICONDATAA and the classic structure sizes.
set(AGENT_DEFINES _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 WINVER=0x0501 WIN32_LEAN_AND_MEAN NOMINMAX)

function(agent_target_options target)
  target_compile_definitions(${target} PRIVATE ${AGENT_DEFINES})
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE" OR kind STREQUAL "SHARED_LIBRARY" OR kind STREQUAL "MODULE_LIBRARY")
    # Only Windows system DLLs at run time: the C++ run time and winpthread go in statically.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# A subsystem's static library from every .cpp file of its folder:
#   agent_add_library(name LIBS <other subsystems and system libraries>)
# A subsystem that does not exist yet is left out of the link.
function(agent_add_library name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PUBLIC ${AGENT_DEFINES})
  foreach(lib ${A_LIBS})
    target_link_libraries(${name} PUBLIC $<TARGET_NAME_IF_EXISTS:${lib}>)
  endforeach()
  agent_target_options(${name})
endfunction()
