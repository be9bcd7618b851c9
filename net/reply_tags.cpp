#include "net/reply_tags.h"

#include "foundation/text_search.h"
#include "net/tag_reader.h"

ReplyTags ReadReplyTags(const std::string& response, bool escapes) {
  ReplyTags tags;
  ParseXML reader(escapes);
  reader.SetText(response.c_str());
  for (ParseXMLTag tag = reader.NextTag(); !tag.empty; tag = reader.NextTag()) {
    if (EqualNoCase(tag.name, "link")) {
      tags.link = tag.content;
    } else if (EqualNoCase(tag.name, "msg")) {
      tags.msg = tag.content;
    } else if (EqualNoCase(tag.name, "status")) {
      tags.hasStatus = true;
      tags.status = tag.content;
    }
  }
  return tags;
}
