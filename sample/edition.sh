# The sample edition the demo packs (the standard edition, Chinese interface).
SAMPLE_NAME="渲染客户端"
SAMPLE_NAME_EN="Render Client"
SAMPLE_MARK="vx"
SAMPLE_LANG="zh_cn"
