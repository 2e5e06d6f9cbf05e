# cmake -DCMARK=cmark-gfm -DINPUT=guide.md -DOUTPUT=guide.html -DTITLE="..." -P markdown_to_html.cmake
# A whole HTML page from a Markdown file: cmark-gfm's body (with tables), and an id on every heading as GitHub gives
# it (lower case, punctuation dropped, blanks made hyphens), so that the page's own links work.
# Written to a temporary name and renamed, so no half-written page is left.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${CMARK} --extension table --to html ${INPUT} RESULT_VARIABLE status OUTPUT_VARIABLE body ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmark failed on ${INPUT} (${status}): ${err}")
endif()

string(REGEX MATCHALL "<h[1-6]>[^\n]*</h[1-6]>" headings "${body}")
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "^<h([1-6])>(.*)</h[1-6]>$" "\\1" level "${heading}")
  string(REGEX REPLACE "^<h[1-6]>(.*)</h[1-6]>$" "\\1" text "${heading}")
  string(REGEX REPLACE "<[^>]*>" "" slug "${text}")
  string(TOLOWER "${slug}" slug)
  string(REGEX REPLACE "&[a-z]+;|&#[0-9]+;" "" slug "${slug}")
  string(REGEX REPLACE "[^a-z0-9 _-]" "" slug "${slug}")
  string(REPLACE " " "-" slug "${slug}")
  string(REPLACE "${heading}" "<h${level} id=\"${slug}\">${text}</h${level}>" body "${body}")
endforeach()

set(page "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>${TITLE}</title>\n"
         "<style>body{max-width:50em;margin:auto;padding:1em;font-family:sans-serif;line-height:1.4}"
         "table{border-collapse:collapse}td,th{border:1px solid #999;padding:0.2em 0.4em;vertical-align:top}"
         "pre{background:#f4f4f4;padding:0.5em;overflow-x:auto}img{max-width:100%}</style>\n"
         "</head>\n<body>\n${body}</body>\n</html>\n")
file(WRITE ${OUTPUT}.tmp "${page}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
