// Builds picture records from the content service's picture objects.
#include "ui/PictureRecords.h"

#include "net/ServerJson.h"

CategoryPicture CategoryPictureFromJson(const Json::Value& p) {
    CategoryPicture r;
    r.imageHeight = ValueToText(MemberOf(p, "imageHeight"));
    r.imageSource = ValueToText(MemberOf(p, "imageSource"));
    r.isSet = ValueToText(MemberOf(p, "isSet"));
    r.imageUrl = ValueToText(MemberOf(p, "imageUrl"));
    r.tags = ValueToText(MemberOf(p, "tags"));
    r.sourceDomain = ValueToText(MemberOf(p, "sourceDomain"));
    r.imageId = ValueToText(MemberOf(p, "imageId"));
    r.score = ValueToText(MemberOf(p, "score"));
    return r;
}

SearchPicture SearchPictureFromJson(const Json::Value& p) {
    SearchPicture r;
    r.imageHeight = ValueToText(MemberOf(p, "imageHeight"));
    r.imageSource = ValueToText(MemberOf(p, "imageSource"));
    r.tags = ValueToText(MemberOf(p, "tags"));
    r.sourceDomain = ValueToText(MemberOf(p, "sourceDomain"));
    r.imageId = ValueToText(MemberOf(p, "imageId"));
    r.yuntuUrl = ValueToText(MemberOf(p, "yuntuUrl"));
    return r;
}

bool SearchReplyPromisesMore(const Json::Value& root) {
    const Json::Value& endFlag = MemberOf(root, "endFlag");
    int flag = 1;
    return endFlag.type() == Json::intValue && ReadInt(endFlag, &flag) && flag == 0;
}
