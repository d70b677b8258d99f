#!/usr/bin/python3
"""Generates src/place/places_data.inc, the built-in list of birthplaces.

    /usr/bin/python3 tools/gen_places.py [--report] [OUTPUT]

Each place below is named in Traditional Chinese and tied to its record in
the world list of Debian's libgeonames (read through the library itself): the
English names to try, in order, the country code and, where a name occurs
more than once in a country, a part of the region's name. The coordinates
and the time-zone id come from that record; none is typed in here.

The world list lacks a number of Taiwan's county seats and towns, and the
mainland's seat 楚雄. Such a place is taken from PUBLISHED below, where its
coordinates are written as the publication that gives them states them (a
Wikipedia article, named with its language and title); each was checked to lie
in its county (tests/place checks that every town lies near its county's
seat). Where two articles disagree, the one that puts the place inside its own
district is used, and the entry says so; a town for which no such article was
found, or whose articles disagree beyond telling, is left out, and LEFT_OUT
says why.

A place marked "zone:<id>" that the world list lacks is taken from the
principal location of its zone in the system's zoneinfo (zone1970.tab); any
other place not found is left out, and --report names it on stderr. Each
generated line ends with a comment naming the list or the publication it came
from.

Each place also carries the other names people type for it: every English
alternative below, the pinyin or older names of ALIASES, and its name in
simplified characters, converted by ICU's Hant-Hans transliterator (uconv,
from Debian's icu-devtools).

Xinjiang's records carry the zone Asia/Urumqi (UTC+6); the clocks of
officialdom there, those on birth certificates included, keep Beijing time, so
those places are written with Asia/Shanghai.
"""

import ctypes
import os
import re
import subprocess
import sys

# name | English names, "/" between alternatives | country | region part | zone
PLACES = """
臺北市|Taipei|TW||
新北市板橋區|Banqiao District|TW||
桃園市|Taoyuan City|TW||
臺中市|Taichung|TW||
臺南市|Tainan City|TW||
高雄市|Kaohsiung City|TW||
基隆市|Keelung|TW||
新竹市|Hsinchu|TW||
嘉義市|Chiayi City/Chiayi|TW||
新竹縣竹北市|Zhubei/Jhubei/Chupei|TW||
苗栗縣苗栗市|Miaoli|TW||
彰化縣彰化市|Changhua/Changhua City/Changhwa|TW||
南投縣南投市|Nantou City|TW||
雲林縣斗六市|Douliu|TW||
嘉義縣太保市|Taibao/Taibao City/Taipao|TW||
屏東縣屏東市|Pingtung/Pingtung City|TW||
宜蘭縣宜蘭市|Yilan|TW||
花蓮縣花蓮市|Hualien City|TW||
臺東縣臺東市|Taitung/Taitung City|TW||
澎湖縣馬公市|Magong|TW||
金門縣金城鎮|Jincheng|TW||
連江縣南竿鄉|Nangan/Matsu|TW||
桃園市大溪區|Daxi|TW||
臺南市玉井區|Yujing|TW||
彰化縣員林市|Yuanlin|TW||
南投縣埔里鎮|Puli|TW||
南投縣鹿谷鄉|Lugu|TW||
南投縣中興新村|Zhongxing New Village|TW||
南投縣集集鎮|Jiji Township/Chichi|TW||
南投縣草屯鎮|Caotun Township/Tsaotun|TW||
南投縣竹山鎮|Zhushan Township/Jhushan/Chushan|TW||
屏東縣東港鎮|Donggang|TW||
屏東縣恆春鎮|Hengchun|TW||
新北市三重區|Sanchong District/Sanchung|TW||
新北市中和區|Zhonghe District/Chungho/Jhonghe|TW||
新北市永和區|Yonghe District/Yungho|TW||
新北市新莊區|Xinzhuang District/Hsinchuang|TW||
新北市新店區|Xindian District/Hsintien|TW||
新北市土城區|Tucheng District|TW||
新北市蘆洲區|Luzhou District/Luchou|TW||
新北市汐止區|Xizhi District/Hsichih|TW||
新北市樹林區|Shulin District|TW||
新北市三峽區|Sanxia District/Sanhsia|TW||
新北市淡水區|Tamsui District/Danshui/Tanshui|TW||
新北市鶯歌區|Yingge District/Yingko|TW||
新北市瑞芳區|Ruifang District/Juifang|TW||
桃園市中壢區|Zhongli District/Chungli|TW||
桃園市平鎮區|Pingzhen District/Pingchen|TW||
桃園市八德區|Bade District/Pate|TW||
桃園市楊梅區|Yangmei District/Yangmei|TW||
臺中市大里區|Dali District/Tali|TW||
臺中市大甲區|Dajia District/Tachia|TW||
臺中市清水區|Qingshui District/Chingshui|TW||
臺中市沙鹿區|Shalu District|TW||
臺中市梧棲區|Wuqi District/Wuchi|TW||
臺中市東勢區|Dongshi District/Tungshih|TW||
臺南市新營區|Xinying District/Hsinying|TW||
臺南市佳里區|Jiali District/Chiali|TW||
臺南市麻豆區|Madou District/Matou|TW||
臺南市新化區|Xinhua District/Sinhua/Hsinhua|TW||
臺南市善化區|Shanhua District/Shanhwa|TW||
臺南市鹽水區|Yanshui District/Yenshui|TW||
臺南市學甲區|Xuejia District/Syuejia/Hsuechia|TW||
臺南市白河區|Baihe District/Paiho|TW||
高雄市鳳山區|Fengshan District|TW||
高雄市岡山區|Gangshan District/Kangshan|TW||
高雄市旗山區|Qishan District/Cishan/Chishan|TW||
高雄市美濃區|Meinong District/Meinung|TW||
新竹縣竹東鎮|Zhudong Township/Chutung|TW||
新竹縣新埔鎮|Xinpu Township/Hsinpu|TW||
新竹縣關西鎮|Guanxi Township/Kuanhsi|TW||
苗栗縣頭份市|Toufen|TW||
苗栗縣苑裡鎮|Yuanli Township/Yuanli|TW||
苗栗縣竹南鎮|Zhunan Township/Chunan|TW||
苗栗縣通霄鎮|Tongxiao Township/Tunghsiao|TW||
苗栗縣後龍鎮|Houlong Township/Houlung|TW||
苗栗縣卓蘭鎮|Zhuolan Township/Cholan|TW||
彰化縣鹿港鎮|Lukang/Lugang|TW||
彰化縣和美鎮|Hemei Township/Homei|TW||
彰化縣溪湖鎮|Xihu Township/Sihu/Chihu|TW||
彰化縣二林鎮|Erlin Township/Erhlin|TW||
彰化縣田中鎮|Tianzhong Township/Tienchung|TW||
雲林縣虎尾鎮|Huwei Township/Huwei|TW||
雲林縣北港鎮|Beigang Township/Peikang|TW||
雲林縣西螺鎮|Xiluo Township/Siluo/Hsilo|TW||
雲林縣斗南鎮|Dounan Township/Tounan|TW||
雲林縣土庫鎮|Tuku Township/Tuku|TW||
嘉義縣朴子市|Puzi/Potzu|TW||
嘉義縣布袋鎮|Budai Township/Putai|TW||
嘉義縣大林鎮|Dalin Township/Talin|TW||
屏東縣潮州鎮|Chaozhou Township/Chaochou|TW||
宜蘭縣羅東鎮|Luodong Township/Lotung|TW||
宜蘭縣頭城鎮|Toucheng Township|TW||
宜蘭縣蘇澳鎮|Suao Township/Su'ao/Suao|TW||
花蓮縣鳳林鎮|Fenglin Township/Fonglin|TW||
花蓮縣玉里鎮|Yuli Township/Yuli|TW||
臺東縣關山鎮|Guanshan Township/Kuanshan|TW||
香港|Hong Kong|HK||
九龍|Kowloon|HK||
荃灣|Tsuen Wan|HK||
沙田|Shatin|HK||
屯門|Tuen Mun|HK||
大埔|Tai Po|HK||
元朗|Yuen Long Kau Hui|HK||
澳門|Macau/Macao|MO||zone:Asia/Macau
北京|Beijing|CN|Beijing|
天津|Tianjin|CN|Tianjin|
上海|Shanghai|CN|Shanghai|
重慶|Chongqing|CN|Chongqing|
石家莊|Shijiazhuang|CN|Hebei|
唐山|Tangshan|CN|Hebei|
秦皇島|Qinhuangdao|CN|Hebei|
邯鄲|Handan|CN|Hebei|
邢臺|Xingtai|CN|Hebei|
保定|Baoding|CN|Hebei|
張家口|Zhangjiakou|CN|Hebei|
承德|Chengde|CN|Hebei|
滄州|Cangzhou|CN|Hebei|
廊坊|Langfang|CN|Hebei|
衡水|Hengshui|CN|Hebei|
太原|Taiyuan|CN|Shanxi|
大同|Datong|CN|Shanxi|
陽泉|Yangquan|CN|Shanxi|
長治|Changzhi|CN|Shanxi|
晉城|Jincheng|CN|Shanxi|
朔州|Shuozhou|CN|Shanxi|
晉中|Jinzhong|CN|Shanxi|
運城|Yuncheng|CN|Shanxi|
忻州|Xinzhou|CN|Shanxi|
臨汾|Linfen|CN|Shanxi|
呂梁|Lüliang/Lvliang/Lishi|CN|Shanxi|
呼和浩特|Hohhot|CN|Inner Mongolia|
包頭|Baotou|CN|Inner Mongolia|
烏海|Wuhai|CN|Inner Mongolia|
赤峰|Chifeng|CN|Inner Mongolia|
通遼|Tongliao|CN|Inner Mongolia|
鄂爾多斯|Ordos|CN|Inner Mongolia|
呼倫貝爾|Hulunbuir/Hailar|CN|Inner Mongolia|
巴彥淖爾|Bayan Nur|CN|Inner Mongolia|
烏蘭察布|Ulanqab/Jining|CN|Inner Mongolia|
瀋陽|Shenyang|CN|Liaoning|
大連|Dalian|CN|Liaoning|
鞍山|Anshan|CN|Liaoning|
撫順|Fushun|CN|Liaoning|
本溪|Benxi|CN|Liaoning|
丹東|Dandong|CN|Liaoning|
錦州|Jinzhou|CN|Liaoning|
營口|Yingkou|CN|Liaoning|
阜新|Fuxin|CN|Liaoning|
遼陽|Liaoyang|CN|Liaoning|
盤錦|Panjin/Panshan|CN|Liaoning|
鐵嶺|Tieling|CN|Liaoning|
朝陽|Chaoyang|CN|Liaoning|
葫蘆島|Huludao/Lianshan|CN|Liaoning|
長春|Changchun|CN|Jilin|
吉林|Jilin City/Jilin|CN|Jilin|
四平|Siping|CN|Jilin|
遼源|Liaoyuan|CN|Jilin|
通化|Tonghua|CN|Jilin|
白山|Baishan|CN|Jilin|
松原|Songyuan|CN|Jilin|
白城|Baicheng|CN|Jilin|
延吉|Yanji|CN|Jilin|
哈爾濱|Harbin|CN|Heilongjiang|
齊齊哈爾|Qiqihar|CN|Heilongjiang|
雞西|Jixi|CN|Heilongjiang|
鶴崗|Hegang|CN|Heilongjiang|
雙鴨山|Shuangyashan|CN|Heilongjiang|
大慶|Daqing|CN|Heilongjiang|
伊春|Yichun|CN|Heilongjiang|
佳木斯|Jiamusi|CN|Heilongjiang|
七臺河|Qitaihe|CN|Heilongjiang|
牡丹江|Mudanjiang|CN|Heilongjiang|
黑河|Heihe|CN|Heilongjiang|
綏化|Suihua|CN|Heilongjiang|
南京|Nanjing|CN|Jiangsu|
無錫|Wuxi|CN|Jiangsu|
徐州|Xuzhou|CN|Jiangsu|
常州|Changzhou|CN|Jiangsu|
蘇州|Suzhou|CN|Jiangsu|
南通|Nantong|CN|Jiangsu|
連雲港|Lianyungang|CN|Jiangsu|
淮安|Huai'an|CN|Jiangsu|
鹽城|Yancheng|CN|Jiangsu|
揚州|Yangzhou|CN|Jiangsu|
鎮江|Zhenjiang|CN|Jiangsu|
泰州|Taizhou|CN|Jiangsu|
宿遷|Suqian|CN|Jiangsu|
杭州|Hangzhou|CN|Zhejiang|
寧波|Ningbo|CN|Zhejiang|
溫州|Wenzhou|CN|Zhejiang|
嘉興|Jiaxing|CN|Zhejiang|
湖州|Huzhou|CN|Zhejiang|
紹興|Shaoxing|CN|Zhejiang|
金華|Jinhua|CN|Zhejiang|
衢州|Quzhou|CN|Zhejiang|
舟山|Zhoushan|CN|Zhejiang|
台州|Taizhou|CN|Zhejiang|
麗水|Lishui|CN|Zhejiang|
合肥|Hefei|CN|Anhui|
蕪湖|Wuhu|CN|Anhui|
蚌埠|Bengbu|CN|Anhui|
淮南|Huainan|CN|Anhui|
馬鞍山|Ma’anshan/Ma'anshan|CN|Anhui|
淮北|Huaibei|CN|Anhui|
銅陵|Tongling|CN|Anhui|
安慶|Anqing/Anking|CN|Anhui|
黃山|Huangshan City/Huangshan|CN|Anhui|
滁州|Chuzhou|CN|Anhui|
阜陽|Fuyang|CN|Anhui|
宿州|Suzhou|CN|Anhui|
六安|Lu'an|CN|Anhui|
亳州|Bozhou|CN|Anhui|
池州|Chizhou|CN|Anhui|
宣城|Xuancheng/Xuanzhou|CN|Anhui|
福州|Fuzhou|CN|Fujian|
廈門|Xiamen/Amoy|CN|Fujian|
莆田|Putian|CN|Fujian|
三明|Sanming|CN|Fujian|
泉州|Quanzhou|CN|Fujian|
漳州|Zhangzhou|CN|Fujian|
南平|Nanping|CN|Fujian|
龍岩|Longyan|CN|Fujian|
寧德|Ningde|CN|Fujian|
南昌|Nanchang|CN|Jiangxi|
景德鎮|Jingdezhen|CN|Jiangxi|
萍鄉|Pingxiang|CN|Jiangxi|
九江|Jiujiang|CN|Jiangxi|
新餘|Xinyu|CN|Jiangxi|
鷹潭|Yingtan|CN|Jiangxi|
贛州|Ganzhou|CN|Jiangxi|
吉安|Ji’an/Ji'an|CN|Jiangxi|
宜春|Yichun|CN|Jiangxi|
撫州|Fuzhou|CN|Jiangxi|
上饒|Shangrao|CN|Jiangxi|
濟南|Jinan|CN|Shandong|
青島|Qingdao|CN|Shandong|
淄博|Zibo|CN|Shandong|
棗莊|Zaozhuang|CN|Shandong|
東營|Dongying|CN|Shandong|
煙臺|Yantai|CN|Shandong|
濰坊|Weifang|CN|Shandong|
濟寧|Jining|CN|Shandong|
泰安|Tai’an/Tai'an|CN|Shandong|
威海|Weihai|CN|Shandong|
日照|Rizhao|CN|Shandong|
臨沂|Linyi|CN|Shandong|
德州|Dezhou|CN|Shandong|
聊城|Liaocheng|CN|Shandong|
濱州|Binzhou|CN|Shandong|
菏澤|Heze|CN|Shandong|
鄭州|Zhengzhou|CN|Henan|
開封|Kaifeng|CN|Henan|
洛陽|Luoyang|CN|Henan|
平頂山|Pingdingshan|CN|Henan|
安陽|Anyang|CN|Henan|
鶴壁|Hebi|CN|Henan|
新鄉|Xinxiang|CN|Henan|
焦作|Jiaozuo|CN|Henan|
濮陽|Puyang|CN|Henan|
許昌|Xuchang|CN|Henan|
漯河|Luohe|CN|Henan|
三門峽|Sanmenxia|CN|Henan|
南陽|Nanyang|CN|Henan|
商丘|Shangqiu|CN|Henan|
信陽|Xinyang|CN|Henan|
周口|Zhoukou|CN|Henan|
駐馬店|Zhumadian|CN|Henan|
武漢|Wuhan|CN|Hubei|
黃石|Huangshi|CN|Hubei|
十堰|Shiyan|CN|Hubei|
宜昌|Yichang|CN|Hubei|
襄陽|Xiangyang/Xiangfan|CN|Hubei|
鄂州|Ezhou/E’zhou|CN|Hubei|
荊門|Jingmen|CN|Hubei|
孝感|Xiaogan|CN|Hubei|
荊州|Jingzhou|CN|Hubei|
黃岡|Huanggang|CN|Hubei|
咸寧|Xianning|CN|Hubei|
隨州|Suizhou|CN|Hubei|
恩施|Enshi|CN|Hubei|
長沙|Changsha|CN|Hunan|
株洲|Zhuzhou|CN|Hunan|
湘潭|Xiangtan|CN|Hunan|
衡陽|Hengyang|CN|Hunan|
邵陽|Shaoyang|CN|Hunan|
岳陽|Yueyang|CN|Hunan|
常德|Changde|CN|Hunan|
張家界|Zhangjiajie|CN|Hunan|
益陽|Yiyang|CN|Hunan|
郴州|Chenzhou|CN|Hunan|
永州|Yongzhou|CN|Hunan|
懷化|Huaihua|CN|Hunan|
婁底|Loudi|CN|Hunan|
吉首|Jishou|CN|Hunan|
廣州|Guangzhou|CN|Guangdong|
韶關|Shaoguan|CN|Guangdong|
深圳|Shenzhen|CN|Guangdong|
珠海|Zhuhai|CN|Guangdong|
汕頭|Shantou|CN|Guangdong|
佛山|Foshan|CN|Guangdong|
江門|Jiangmen|CN|Guangdong|
湛江|Zhanjiang|CN|Guangdong|
茂名|Maoming|CN|Guangdong|
肇慶|Zhaoqing|CN|Guangdong|
惠州|Huizhou|CN|Guangdong|
梅州|Meizhou|CN|Guangdong|
汕尾|Shanwei|CN|Guangdong|
河源|Heyuan|CN|Guangdong|
陽江|Yangjiang|CN|Guangdong|
清遠|Qingyuan|CN|Guangdong|
東莞|Dongguan|CN|Guangdong|
中山|Zhongshan|CN|Guangdong|
潮州|Chaozhou|CN|Guangdong|
揭陽|Jieyang|CN|Guangdong|
雲浮|Yunfu|CN|Guangdong|
南寧|Nanning|CN|Guangxi|
柳州|Liuzhou|CN|Guangxi|
桂林|Guilin|CN|Guangxi|
梧州|Wuzhou|CN|Guangxi|
北海|Beihai|CN|Guangxi|
防城港|Fangchenggang|CN|Guangxi|
欽州|Qinzhou|CN|Guangxi|
貴港|Guigang|CN|Guangxi|
玉林|Yulin|CN|Guangxi|
百色|Baise City/Baise|CN|Guangxi|
賀州|Hezhou|CN|Guangxi|
河池|Hechi|CN|Guangxi|
來賓|Laibin|CN|Guangxi|
崇左|Chongzuo|CN|Guangxi|
海口|Haikou|CN|Hainan|
三亞|Sanya|CN|Hainan|
三沙|Sansha|CN|Hainan|
儋州|Danzhou/Nada|CN|Hainan|
成都|Chengdu|CN|Sichuan|
自貢|Zigong|CN|Sichuan|
攀枝花|Panzhihua|CN|Sichuan|
瀘州|Luzhou|CN|Sichuan|
德陽|Deyang|CN|Sichuan|
綿陽|Mianyang|CN|Sichuan|
廣元|Guangyuan|CN|Sichuan|
遂寧|Suining|CN|Sichuan|
內江|Neijiang|CN|Sichuan|
樂山|Leshan|CN|Sichuan|
南充|Nanchong|CN|Sichuan|
眉山|Meishan|CN|Sichuan|
宜賓|Yibin|CN|Sichuan|
廣安|Guang’an/Guang'an|CN|Sichuan|
達州|Dazhou|CN|Sichuan|
雅安|Ya'an/Ya’an|CN|Sichuan|
巴中|Bazhong|CN|Sichuan|
資陽|Ziyang|CN|Sichuan|
西昌|Xichang|CN|Sichuan|
康定|Kangding|CN|Sichuan|
馬爾康|Barkam|CN|Sichuan|
貴陽|Guiyang|CN|Guizhou|
六盤水|Liupanshui|CN|Guizhou|
遵義|Zunyi|CN|Guizhou|
安順|Anshun|CN|Guizhou|
畢節|Bijie|CN|Guizhou|
銅仁|Tongren|CN|Guizhou|
凱里|Kaili|CN|Guizhou|
都勻|Duyun|CN|Guizhou|
興義|Xingyi|CN|Guizhou|
昆明|Kunming|CN|Yunnan|
曲靖|Qujing|CN|Yunnan|
玉溪|Yuxi|CN|Yunnan|
保山|Baoshan|CN|Yunnan|
昭通|Zhaotong|CN|Yunnan|
麗江|Lijiang|CN|Yunnan|
普洱|Pu'er/Simao|CN|Yunnan|
臨滄|Lincang|CN|Yunnan|
大理|Dali|CN|Yunnan|
景洪|Jinghong|CN|Yunnan|
楚雄|Chuxiong/Lucheng|CN|Yunnan|
蒙自|Mengzi|CN|Yunnan|
文山|Wenshan City/Wenshan|CN|Yunnan|
拉薩|Lhasa|CN|Tibet|
日喀則|Shigatse/Xigazê/Rikaze|CN|Tibet|
昌都|Qamdo/Chamdo|CN|Tibet|
林芝|Nyingchi|CN|Tibet|
澤當|Tsetang/Zetang|CN|Tibet|
那曲|Nagqu/Nagqu Prefecture|CN|Tibet|
西安|Xi'an|CN|Shaanxi|
銅川|Tongchuan|CN|Shaanxi|
寶雞|Baoji|CN|Shaanxi|
咸陽|Xianyang|CN|Shaanxi|
渭南|Weinan|CN|Shaanxi|
延安|Yan’an/Yan'an|CN|Shaanxi|
漢中|Hanzhong|CN|Shaanxi|
榆林|Yulinshi/Yulin|CN|Shaanxi|
安康|Ankang|CN|Shaanxi|
商洛|Shangluo|CN|Shaanxi|
蘭州|Lanzhou|CN|Gansu|
嘉峪關|Jiayuguan City/Jiayuguan|CN|Gansu|
金昌|Jinchang|CN|Gansu|
白銀|Baiyin|CN|Gansu|
天水|Tianshui|CN|Gansu|
武威|Wuwei|CN|Gansu|
張掖|Zhangye|CN|Gansu|
平涼|Pingliang|CN|Gansu|
酒泉|Jiuquan|CN|Gansu|
慶陽|Qingyang|CN|Gansu|
定西|Dingxi|CN|Gansu|
隴南|Longnan/Wudu|CN|Gansu|
西寧|Xining|CN|Qinghai|
海東|Haidong/Ping'an|CN|Qinghai|
格爾木|Golmud|CN|Qinghai|
德令哈|Delingha|CN|Qinghai|
銀川|Yinchuan|CN|Ningxia|
石嘴山|Shizuishan|CN|Ningxia|
吳忠|Wuzhong|CN|Ningxia|
固原|Guyuan|CN|Ningxia|
中衛|Zhongwei|CN|Ningxia|
烏魯木齊|Ürümqi/Urumqi|CN|Xinjiang|Asia/Shanghai
克拉瑪依|Karamay|CN|Xinjiang|Asia/Shanghai
吐魯番|Turpan|CN|Xinjiang|Asia/Shanghai
哈密|Hami/Kumul|CN|Xinjiang|Asia/Shanghai
喀什|Kashgar|CN|Xinjiang|Asia/Shanghai
和田|Hotan|CN|Xinjiang|Asia/Shanghai
阿克蘇|Aksu|CN|Xinjiang|Asia/Shanghai
伊寧|Yining|CN|Xinjiang|Asia/Shanghai
庫爾勒|Korla|CN|Xinjiang|Asia/Shanghai
昌吉|Changji|CN|Xinjiang|Asia/Shanghai
博樂|Bole|CN|Xinjiang|Asia/Shanghai
阿圖什|Artux/Atushi|CN|Xinjiang|Asia/Shanghai
塔城|Tacheng|CN|Xinjiang|Asia/Shanghai
阿勒泰|Altay|CN|Xinjiang|Asia/Shanghai
石河子|Shihezi|CN|Xinjiang|Asia/Shanghai
新加坡|Singapore|SG||zone:Asia/Singapore
吉隆坡|Kuala Lumpur|MY||
檳城|George Town|MY||
新山|Johor Bahru|MY||
怡保|Ipoh|MY||
馬六甲|Malacca/Melaka|MY||
古晉|Kuching|MY||
詩巫|Sibu|MY||
亞庇|Kota Kinabalu|MY||
曼谷|Bangkok|TH||
清邁|Chiang Mai|TH||
雅加達|Jakarta|ID||
泗水|Surabaya|ID||
棉蘭|Medan|ID||
馬尼拉|Manila|PH||
宿霧|Cebu City|PH||
河內|Hanoi|VN||
胡志明市|Ho Chi Minh City|VN||
金邊|Phnom Penh|KH||
仰光|Yangon/Rangoon|MM||
永珍|Vientiane|LA||
斯里巴加灣|Bandar Seri Begawan|BN||
東京|Tokyo|JP||
大阪|Osaka|JP||
橫濱|Yokohama|JP||
首爾|Seoul|KR||
釜山|Busan|KR||
烏蘭巴托|Ulan Bator/Ulaanbaatar|MN||
雪梨|Sydney|AU||
墨爾本|Melbourne|AU||
布里斯本|Brisbane|AU||
伯斯|Perth|AU||
阿德雷德|Adelaide|AU||
奧克蘭|Auckland|NZ||
威靈頓|Wellington|NZ||
溫哥華|Vancouver|CA||
多倫多|Toronto|CA||
蒙特婁|Montreal/Montréal|CA||
卡加利|Calgary|CA||
舊金山|San Francisco|US|California|
洛杉磯|Los Angeles|US|California|
聖荷西|San Jose|US|California|
西雅圖|Seattle|US|Washington|
紐約|New York|US|New York|
波士頓|Boston|US|Massachusetts|
芝加哥|Chicago|US|Illinois|
休士頓|Houston|US|Texas|
華盛頓|Washington D.C./Washington|US|District of Columbia|
拉斯維加斯|Las Vegas|US|Nevada|
檀香山|Honolulu|US|Hawaii|
倫敦|London|GB||
曼徹斯特|Manchester|GB||
巴黎|Paris|FR||
柏林|Berlin|DE||
法蘭克福|Frankfurt am Main|DE||
阿姆斯特丹|Amsterdam|NL||
布魯塞爾|Brussels|BE||
都柏林|Dublin|IE||
羅馬|Rome|IT||
米蘭|Milan|IT||
馬德里|Madrid|ES||
巴塞隆納|Barcelona|ES||
維也納|Vienna|AT||
蘇黎世|Zurich/Zürich|CH||
斯德哥爾摩|Stockholm|SE||
莫斯科|Moscow|RU||
杜拜|Dubai|AE||
孟買|Mumbai|IN||
新德里|New Delhi|IN||
約翰尼斯堡|Johannesburg|ZA||
開普敦|Cape Town|ZA||
模里西斯路易港|Port Louis|MU||
聖保羅|São Paulo|BR||
布宜諾斯艾利斯|Buenos Aires|AR||
利馬|Lima|PE||
墨西哥城|Mexico City|MX||
"""

# Names people type that neither the world list nor the alternatives above
# give: pinyin where the list has an older or a local name, and the older
# English names still in use.
ALIASES = {
    "北京": ["Peking", "Peiping"],
    "廣州": ["Canton"],
    "南京": ["Nanking"],
    "喀什": ["Kashi"],
    "烏魯木齊": ["Wulumuqi"],
    "西安": ["Xian", "Sian"],
    "拉薩": ["Lasa"],
    "日喀則": ["Xigaze"],
    "臺北市": ["Taibei"],
    "高雄市": ["Gaoxiong"],
    "香港": ["Xianggang"],
    "澳門": ["Aomen"],
    "連江縣南竿鄉": ["Mazu", "連江縣", "馬祖"],
    "金門縣金城鎮": ["Kinmen", "金門"],
    "澎湖縣馬公市": ["Penghu", "澎湖"],
}

# Places in none of the lists: their coordinates as the publication states
# them, their zone, and the publication (a Wikipedia article: language and
# title; their text is CC BY-SA 4.0).
PUBLISHED = {
    "嘉義市": ("23°29′N 120°27′E", "Asia/Taipei",
        'German Wikipedia, "Chiayi"'),
    "新竹縣竹北市": ("24°50′00″N 121°00′43″E", "Asia/Taipei",
        'English Wikipedia, "Zhubei"'),
    "苗栗縣苗栗市": ("24°34′12″N 120°49′12″E", "Asia/Taipei",
        'English Wikipedia, "Miaoli"'),
    "彰化縣彰化市": ("24°04′N 120°32′E", "Asia/Taipei",
        'Japanese Wikipedia, "彰化市"'),
    "嘉義縣太保市": ("23°27′00″N 120°20′00″E", "Asia/Taipei",
        'English Wikipedia, "Taibao"'),
    "嘉義縣朴子市": ("23°27′40″N 120°14′30″E", "Asia/Taipei",
        'German Wikipedia, "Puzi"'),
    "嘉義縣布袋鎮": ("23°21′36″N 120°10′12″E", "Asia/Taipei",
        'English Wikipedia, "Budai, Chiayi"'),
    "嘉義縣大林鎮": ("23°35′56″N 120°28′12″E", "Asia/Taipei",
        'English Wikipedia, "Dalin, Chiayi"'),
    "屏東縣屏東市": ("22°40′34″N 120°29′39″E", "Asia/Taipei",
        'Japanese Wikipedia, "屏東市"'),
    "臺東縣臺東市": ("22°45′30″N 121°08′40″E", "Asia/Taipei",
        'Chinese Wikipedia, "臺東市"'),
    "臺東縣關山鎮": ("23°01′05″N 121°11′38″E", "Asia/Taipei",
        'English Wikipedia, "Guanshan, Taitung"'),
    "連江縣南竿鄉": ("26°09′N 119°56′E", "Asia/Taipei",
        'English Wikipedia, "Nangan, Lienchiang"'),
    "新北市三重區": ("25°03′44″N 121°29′14″E", "Asia/Taipei",
        'English Wikipedia, "Sanchong District"'),
    "新北市中和區": ("24°59′50″N 121°30′15″E", "Asia/Taipei",
        'English Wikipedia, "Zhonghe District"'),
    "新北市永和區": ("25°00′27″N 121°30′59″E", "Asia/Taipei",
        'English Wikipedia, "Yonghe District"'),
    "新北市新莊區": ("25°02′N 121°27′E", "Asia/Taipei",
        'English Wikipedia, "Xinzhuang District"'),
    "新北市新店區": ("24°57′N 121°32′E", "Asia/Taipei",
        'English Wikipedia, "Xindian District"'),
    "新北市土城區": ("24°58′N 121°25′E", "Asia/Taipei",
        'English Wikipedia, "Tucheng District"'),
    "新北市蘆洲區": ("25°05′N 121°28′E", "Asia/Taipei",
        'English Wikipedia, "Luzhou District, New Taipei"'),
    "新北市汐止區": ("25°04′N 121°40′E", "Asia/Taipei",
        'English Wikipedia, "Xizhi District"'),
    "新北市樹林區": ("24°59′N 121°25′E", "Asia/Taipei",
        'English Wikipedia, "Shulin District"'),
    "新北市三峽區": ("24°56′00″N 121°22′00″E", "Asia/Taipei",
        'English Wikipedia, "Sanxia District"'),
    "新北市淡水區": ("25°10′N 121°26′E", "Asia/Taipei",
        'Japanese Wikipedia, "淡水区"'),
    "新北市鶯歌區": ("24°57′22″N 121°21′18″E", "Asia/Taipei",
        'Chinese Wikipedia, "鶯歌區" (not 121°27′E as in the Japanese article: east of the district)'),
    "新北市瑞芳區": ("25°06′32″N 121°48′35″E", "Asia/Taipei",
        'Chinese Wikipedia, "瑞芳區"'),
    "桃園市中壢區": ("24°57′25″N 121°13′25″E", "Asia/Taipei",
        'Chinese Wikipedia, "中壢區"'),
    "桃園市平鎮區": ("24°56′38″N 121°12′58″E", "Asia/Taipei",
        'Chinese Wikipedia, "平鎮區"'),
    "桃園市八德區": ("24°57′27″N 121°17′56″E", "Asia/Taipei",
        'Chinese Wikipedia, "八德區"'),
    "臺中市大里區": ("24°05′30″N 120°41′30″E", "Asia/Taipei",
        'German Wikipedia, "Dali (Taichung)"'),
    "臺中市大甲區": ("24°20′50″N 120°37′21″E", "Asia/Taipei",
        'English Wikipedia, "Dajia District" (the German article "Dajia (Taichung)" puts it 4 km northeast)'),
    "臺中市清水區": ("24°17′15″N 120°34′35″E", "Asia/Taipei",
        'English Wikipedia, "Qingshui District" (an earlier revision: 24°18′7″N 120°35′10″E)'),
    "臺中市沙鹿區": ("24°14′21.9″N 120°33′43.6″E", "Asia/Taipei",
        'English Wikipedia, "Shalu District"'),
    "臺中市梧棲區": ("24°16′N 120°32′E", "Asia/Taipei",
        'German Wikipedia, "Wuqi (Taichung)"'),
    "臺中市東勢區": ("24°15′31.3″N 120°49′41.4″E", "Asia/Taipei",
        'English Wikipedia, "Dongshi District"'),
    "臺南市新營區": ("23°18′N 120°19′E", "Asia/Taipei",
        'German Wikipedia, "Xinying"'),
    "臺南市佳里區": ("23°10′0.8″N 120°10′42.5″E", "Asia/Taipei",
        'English Wikipedia, "Jiali District"'),
    "臺南市麻豆區": ("23°11′0″N 120°14′46″E", "Asia/Taipei",
        'German Wikipedia, "Madou (Tainan)"'),
    "臺南市新化區": ("23°2′N 120°19′E", "Asia/Taipei",
        'German Wikipedia, "Xinhua (Tainan)"'),
    "臺南市善化區": ("23°8′N 120°18′E", "Asia/Taipei",
        'German Wikipedia, "Shanhua (Tainan)"'),
    "臺南市鹽水區": ("23°18′N 120°15′E", "Asia/Taipei",
        'German Wikipedia, "Yanshui (Tainan)"'),
    "臺南市學甲區": ("23°15′17″N 120°10′37″E", "Asia/Taipei",
        'English Wikipedia, "Syuejia District"'),
    "臺南市白河區": ("23°21′N 120°25′E", "Asia/Taipei",
        'German Wikipedia, "Baihe (Tainan)" (the English article "Baihe District" puts it 4 km east, toward Guanziling)'),
    "高雄市鳳山區": ("22°38′N 120°21′E", "Asia/Taipei",
        'English Wikipedia, "Fengshan District"'),
    "高雄市岡山區": ("22°48′N 120°17′E", "Asia/Taipei",
        'German Wikipedia, "Gangshan"'),
    "高雄市旗山區": ("22°52′05″N 120°28′26″E", "Asia/Taipei",
        'German Wikipedia, "Qishan (Kaohsiung)"'),
    "高雄市美濃區": ("22°53′24″N 120°34′01″E", "Asia/Taipei",
        'English Wikipedia, "Meinong District"'),
    "新竹縣竹東鎮": ("24°44′11.80″N 121°05′29.68″E", "Asia/Taipei",
        'English Wikipedia, "Zhudong"'),
    "新竹縣新埔鎮": ("24°50′52″N 121°05′44″E", "Asia/Taipei",
        'English Wikipedia, "Xinpu, Hsinchu"'),
    "新竹縣關西鎮": ("24°47′25″N 121°10′19″E", "Asia/Taipei",
        'Chinese Wikipedia, "關西鎮 (台灣)"'),
    "苗栗縣頭份市": ("24°41′00″N 120°54′26″E", "Asia/Taipei",
        'English Wikipedia, "Toufen"'),
    "苗栗縣苑裡鎮": ("24°25′N 120°41′E", "Asia/Taipei",
        'German Wikipedia, "Yuanli"'),
    "苗栗縣竹南鎮": ("24°41′N 120°53′E", "Asia/Taipei",
        'English Wikipedia, "Zhunan"'),
    "苗栗縣通霄鎮": ("24°29′N 120°41′E", "Asia/Taipei",
        'English Wikipedia, "Tongxiao"'),
    "苗栗縣後龍鎮": ("24°37′N 120°47′E", "Asia/Taipei",
        'English Wikipedia, "Houlong, Miaoli"'),
    "苗栗縣卓蘭鎮": ("24°19′27″N 120°51′35″E", "Asia/Taipei",
        'German Wikipedia, "Zhuolan"'),
    "彰化縣鹿港鎮": ("24°03′30″N 120°26′00″E", "Asia/Taipei",
        'German Wikipedia, "Lukang"'),
    "彰化縣和美鎮": ("24°07′N 120°30′E", "Asia/Taipei",
        'English Wikipedia, "Hemei"'),
    "彰化縣溪湖鎮": ("23°57′34″N 120°28′48″E", "Asia/Taipei",
        'English Wikipedia, "Xihu, Changhua"'),
    "彰化縣二林鎮": ("23°55′22″N 120°24′33″E", "Asia/Taipei",
        'English Wikipedia, "Erlin, Changhua"'),
    "彰化縣田中鎮": ("23°51′34″N 120°35′16″E", "Asia/Taipei",
        'English Wikipedia, "Tianzhong, Changhua"'),
    "雲林縣虎尾鎮": ("23°43′N 120°27′E", "Asia/Taipei",
        'German Wikipedia, "Huwei (Yunlin)"'),
    "雲林縣北港鎮": ("23°34′N 120°18′E", "Asia/Taipei",
        'English Wikipedia, "Beigang, Yunlin"'),
    "雲林縣西螺鎮": ("23°46′58″N 120°27′18″E", "Asia/Taipei",
        'English Wikipedia, "Xiluo"'),
    "雲林縣斗南鎮": ("23°41′N 120°29′E", "Asia/Taipei",
        'English Wikipedia, "Dounan, Yunlin"'),
    "雲林縣土庫鎮": ("23°41′N 120°22′E", "Asia/Taipei",
        'German Wikipedia, "Tuku (Yunlin)"'),
    "屏東縣潮州鎮": ("22°33′N 120°32′E", "Asia/Taipei",
        'English Wikipedia, "Chaozhou, Pingtung"'),
    "宜蘭縣羅東鎮": ("24°41′N 121°46′E", "Asia/Taipei",
        'German Wikipedia, "Luodong (Yilan)"'),
    "宜蘭縣頭城鎮": ("24°51′N 121°49′E", "Asia/Taipei",
        'German Wikipedia, "Toucheng"'),
    "宜蘭縣蘇澳鎮": ("24°35′46″N 121°51′04″E", "Asia/Taipei",
        'English Wikipedia, "Suao Township"'),
    "南投縣集集鎮": ("23°49′48″N 120°46′59″E", "Asia/Taipei",
        'English Wikipedia, "Jiji, Nantou"'),
    "花蓮縣鳳林鎮": ("23°45′00″N 121°26′00″E", "Asia/Taipei",
        'Chinese Wikipedia, "鳳林鎮 (台灣)" (the Japanese article agrees; the German one puts it 3 km southeast)'),
    "楚雄": ("25°01′59″N 101°32′45″E", "Asia/Shanghai",
        'English Wikipedia, "Chuxiong City" (the city government)'),
}

# Towns of PLACES that neither list holds and for which no publication was
# found whose position could be written here: why each is left out.
LEFT_OUT = {
    "桃園市楊梅區": "the articles disagree on its position",
    "南投縣草屯鎮": "the articles disagree: German and Chinese Wikipedia give "
        "23°58′59″N 120°43′57″E, 5 km east of the town, Japanese 24°01′N 120°41′E, "
        "4 km north of it",
    "南投縣竹山鎮": "German Wikipedia's 23°41′20″N 120°43′44″E lies about 10 km "
        "southeast of the town; no other article states a position",
    "花蓮縣玉里鎮": "the articles disagree: English Wikipedia gives 23°23′15″N "
        "121°22′35″E, German 23°22′N 121°21′E, Japanese 23°30′N 121°16′E",
}

HEADER = """\
// Generated by tools/gen_places.py from Debian's libgeonames world list, and
// for the places it lacks from the zoneinfo's zone1970.tab or a publication,
// as each line's comment says; do not edit.
// name, English name, other names ("|" between them), country, region,
// longitude, latitude, zone.
"""


class World:
    """The world list, read through libgeonames."""

    def __init__(self):
        g = ctypes.CDLL("libgeonames.so.0")
        g.geonames_get_n_cities.restype = ctypes.c_int
        g.geonames_get_city.restype = ctypes.c_void_p
        g.geonames_get_city.argtypes = [ctypes.c_int]
        g.geonames_city_free.argtypes = [ctypes.c_void_p]
        for f in ("name", "state", "country_code", "timezone"):
            fn = getattr(g, "geonames_city_get_" + f)
            fn.restype = ctypes.c_char_p
            fn.argtypes = [ctypes.c_void_p]
        for f in ("latitude", "longitude"):
            fn = getattr(g, "geonames_city_get_" + f)
            fn.restype = ctypes.c_double
            fn.argtypes = [ctypes.c_void_p]
        g.geonames_city_get_population.restype = ctypes.c_uint
        g.geonames_city_get_population.argtypes = [ctypes.c_void_p]
        self.cities = []
        for i in range(g.geonames_get_n_cities()):
            c = g.geonames_get_city(i)
            text = lambda f: (getattr(g, "geonames_city_get_" + f)(c) or b"").decode("utf-8")
            self.cities.append({
                "name": text("name"), "state": text("state"), "country": text("country_code"),
                "zone": text("timezone"), "lat": g.geonames_city_get_latitude(c),
                "lon": g.geonames_city_get_longitude(c), "population": g.geonames_city_get_population(c),
            })
            g.geonames_city_free(c)

    def find(self, names, country, region):
        for name in names:
            found = [c for c in self.cities
                     if c["name"] == name and c["country"] == country and region in c["state"]]
            if found:
                return max(found, key=lambda c: c["population"])
        return None


def zone_locations():
    """Principal locations of the zones, from the system's zoneinfo."""
    out = {}
    with open("/usr/share/zoneinfo/zone1970.tab", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            coord, zone = fields[1], fields[2]
            split = max(coord.rfind("+"), coord.rfind("-"))
            out[zone] = (sexagesimal(coord[split:]), sexagesimal(coord[:split]))  # lon, lat
    return out


def sexagesimal(text):
    sign = -1 if text[0] == "-" else 1
    digits = text[1:]
    degree_digits = 3 if len(digits) in (5, 7) else 2
    value = int(digits[:degree_digits])
    rest = digits[degree_digits:]
    if rest:
        value += int(rest[:2]) / 60
    if len(rest) > 2:
        value += int(rest[2:4]) / 3600
    return sign * round(value, 5)


def simplified(names):
    """The names in simplified characters, through ICU's Hant-Hans."""
    out = subprocess.run(["uconv", "-f", "UTF-8", "-t", "UTF-8", "-x", "Hant-Hans"],
                         input="\n".join(names) + "\n", check=True, capture_output=True,
                         text=True, env=dict(os.environ, LC_ALL="C.UTF-8")).stdout.split("\n")
    return dict(zip(names, out))


def c_string(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def published(text):
    """Longitude and latitude of a position written as "24°57′22″N 121°21′18″E"."""
    match = re.fullmatch(r"(\d+)°(\d+)′(?:([\d.]+)″)?([NS]) (\d+)°(\d+)′(?:([\d.]+)″)?([EW])", text)
    if not match:
        raise ValueError("not a position: " + text)
    d1, m1, s1, ns, d2, m2, s2, ew = match.groups()
    lat = (int(d1) + int(m1) / 60 + float(s1 or 0) / 3600) * (1 if ns == "N" else -1)
    lon = (int(d2) + int(m2) / 60 + float(s2 or 0) / 3600) * (1 if ew == "E" else -1)
    return round(lon, 5), round(lat, 5)


def generate(report):
    world = World()
    zones = None
    lines = [HEADER]
    missing = []
    rows = [row.split("|") for row in PLACES.strip().splitlines()]
    simple = simplified([row[0] for row in rows])
    for name, english, country, region, zone in rows:
        names = english.split("/")
        city = world.find(names, country, region)
        if city is not None:
            lon, lat, record_zone, found_name, state = city["lon"], city["lat"], city["zone"], city["name"], city["state"]
            if zone and not zone.startswith("zone:"):
                record_zone = zone
            source = "libgeonames"
        elif name in PUBLISHED:
            position, record_zone, publication = PUBLISHED[name]
            lon, lat = published(position)
            found_name, state = names[0], region
            source = publication + ": " + position
        elif zone.startswith("zone:"):
            zones = zones or zone_locations()
            record_zone = zone[len("zone:"):]
            lon, lat = zones[record_zone]
            found_name, state = names[0], ""
            source = "zone1970.tab"
            missing.append(f"{name} ({english}): taken from zone1970.tab, {record_zone}")
        else:
            missing.append(f"{name} ({english}): " + LEFT_OUT.get(name, "in neither list") + ", left out")
            continue
        others = []
        for other in names + ALIASES.get(name, []) + [simple[name]]:
            if other not in (name, found_name) and other not in others:
                others.append(other)
        lines.append("{%s, %s, %s, %s, %s, %r, %r, %s},  // %s\n" % (
            c_string(name), c_string(found_name), c_string("|".join(others)), c_string(country),
            c_string(state), lon, lat, c_string(record_zone), source))
    if report:
        for m in missing:
            print(m, file=sys.stderr)
    return "".join(lines)


def main(argv):
    report = "--report" in argv
    args = [a for a in argv if a != "--report"]
    here = os.path.dirname(os.path.abspath(__file__))
    output = args[0] if args else os.path.join(here, "..", "src", "place", "places_data.inc")
    text = generate(report)
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main(sys.argv[1:])
