# What the desktop and the command line know parasort's operations by, each
# written here once. The build generates from it the bus names' header, the
# operations table that the filter's options, the services and the editor's
# menu are driven by, and the desktop entry's actions.

# Where the services live on the D-Bus session bus: the well-known name the
# application claims (it also names the desktop entry, the activation file
# and the metainfo), the services object's path, its interface, and the
# error name of a failed request.
set(PARASORT_DBUS_busName io.github.parasort.Parasort)
set(PARASORT_DBUS_objectPath /io/github/parasort/Parasort)
set(PARASORT_DBUS_interfaceName io.github.parasort.Services)
set(PARASORT_DBUS_failureErrorName io.github.parasort.Services.Error.RequestFailed)
# The method that serves any operation with options, for scripts and
# shortcuts, and the error of a call whose arguments it cannot read.
set(PARASORT_DBUS_arrangeMethod sspArrangeParagraphs)
set(PARASORT_DBUS_invalidArgumentsErrorName org.freedesktop.DBus.Error.InvalidArgs)

# parasort_operation(NAME ORDER <engine order> HELP <help> [LETTER <short letter>]
#                    [METHOD <service method> <what it gives>] [ACTION <desktop action>]
#                    [MENU <menu text> <shortcut>] [TAG <menu tag>] [MENU_SEPARATOR_BEFORE])
# NAME is the filter's long option; ORDER a ParagraphOrder. An operation
# without LETTER has only its long option; without METHOD no service method
# (and then no desktop action either); without MENU no menu item.
set(PARASORT_OPERATION_ROWS "")
set(PARASORT_DESKTOP_ACTIONS "")
set(PARASORT_DESKTOP_ACTION_SECTIONS "")
function(parasort_operation name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "MENU_SEPARATOR_BEFORE" "ORDER;TAG;LETTER;HELP;ACTION" "METHOD;MENU")
  set(separated false)
  if(arg_MENU_SEPARATOR_BEFORE)
    set(separated true)
  endif()
  set(letter 0)
  if(arg_LETTER)
    set(letter "'${arg_LETTER}'")
  endif()
  set(method "")
  set(summary "")
  if(arg_METHOD)
    list(GET arg_METHOD 0 method)
    list(GET arg_METHOD 1 summary)
  endif()
  set(menu_text "")
  set(shortcut "")
  if(arg_MENU)
    list(GET arg_MENU 0 menu_text)
    list(LENGTH arg_MENU menu_fields)
    if(menu_fields GREATER 1)
      list(GET arg_MENU 1 shortcut)
    endif()
  endif()
  set(tag 0)
  if(DEFINED arg_TAG)
    set(tag ${arg_TAG})
  endif()
  string(APPEND PARASORT_OPERATION_ROWS
    "    {ParagraphOrder::${arg_ORDER}, \"${name}\", ${letter}, \"${arg_HELP}\", \"${method}\", \"${summary}\",\n"
    "     \"${arg_ACTION}\", \"${menu_text}\", \"${shortcut}\", ${tag}, ${separated}},\n")
  if(arg_ACTION)
    string(APPEND PARASORT_DESKTOP_ACTIONS "${arg_ACTION};")
    string(APPEND PARASORT_DESKTOP_ACTION_SECTIONS
      "\n[Desktop Action ${arg_ACTION}]\nName=${menu_text}\n"
      "Exec=dbus-send --session --print-reply --dest=${PARASORT_DBUS_busName} ${PARASORT_DBUS_objectPath} "
      "${PARASORT_DBUS_interfaceName}.${method} string:\n")
  endif()
  foreach(variable IN ITEMS PARASORT_OPERATION_ROWS PARASORT_DESKTOP_ACTIONS PARASORT_DESKTOP_ACTION_SECTIONS)
    set(${variable} "${${variable}}" PARENT_SCOPE)
  endforeach()
endfunction()

parasort_operation(ascending ORDER ascending
  LETTER a HELP "sort in ascending order (the default)"
  METHOD sspSortParagraphsAscending "The paragraphs in ascending order."
  ACTION sort-ascending
  MENU "Sort Paragraphs Ascending" "Ctrl+Shift+A" TAG 0)
parasort_operation(descending ORDER descending
  HELP "sort in descending order (as -r)"
  METHOD sspSortParagraphsDescending "The paragraphs in descending order."
  ACTION sort-descending
  MENU "Sort Paragraphs Descending" "Ctrl+Shift+D" TAG 1)
parasort_operation(unique ORDER unique
  LETTER u HELP "keep one of each run of equal paragraphs, ascending"
  METHOD sspUniqueParagraphs "One of each paragraph, in ascending order."
  ACTION unique
  MENU "Remove Duplicate Paragraphs" "Ctrl+Shift+R" TAG 0 MENU_SEPARATOR_BEFORE)
parasort_operation(by-length ORDER byLength MENU_SEPARATOR_BEFORE
  HELP "sort by length in characters, equal lengths ascending"
  MENU "Sort by Length")
parasort_operation(reverse-lines ORDER reverse
  HELP "reverse the order of the paragraphs, without sorting"
  MENU "Reverse Paragraphs")
parasort_operation(shuffle ORDER shuffle
  HELP "put the paragraphs in a random order"
  MENU "Shuffle Paragraphs")
parasort_operation(adjacent-unique ORDER adjacentUnique
  HELP "drop each paragraph equal to the one before it, unsorted")

configure_file(${CMAKE_CURRENT_LIST_DIR}/paragraph_operations.h.in
  ${PROJECT_BINARY_DIR}/generated/parasort/paragraph_operations.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/services_bus_names.h.in
  ${PROJECT_BINARY_DIR}/generated/parasort/services/qt/services_bus_names.h @ONLY)
